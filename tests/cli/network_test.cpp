// qxcli on a module that ser2net serves over the network, as rfc2217:// and socket://.
#include "cli_process.h"
#include "support/ser2net_process.h"
#include "support/sim_process.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

namespace {

std::string Settings(const std::string& profile) {
    const auto at = profile.find("\n[settings]");
    return at == std::string::npos ? profile : profile.substr(at + 1);
}

// ser2net takes the device a moment after the last session let it go, and meanwhile turns a
// new one away: runs qxcli again while that is what it says.
CliRun RunOnServer(const std::vector<std::string>& args, const std::string& dir = {}) {
    CliRun run;
    for (int tries = 0; tries < 10; ++tries) {
        run = RunCli(args, dir);
        if (run.errors.find("closed the connection") == std::string::npos)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return run;
}

} // namespace

// The module starts at 600 odd: only a line that reached the pseudo-terminal finds it. Every
// setting is then written and read back through RFC 2217; the raw socket reads and writes at
// the server's line and refuses to search; [Ports] names both forms.
TEST(CliNetwork, ReadSearchAndWriteThroughRfc2217AndARawSocket) {
    SimProcess sim;
    ASSERT_TRUE(
        sim.Start({"--turnaround", "5", "--model", "QX871", "--serial-rate", "1", "--parity", "2"}))
        << sim.error();
    Ser2netProcess server;
    ASSERT_TRUE(server.Start(sim.paths()[0])) << server.error();
    const std::string rfc = server.Rfc2217Url();

    const CliRun found = RunCli({"read", rfc});
    ASSERT_EQ(found.exit_code, 0) << found.errors;
    EXPECT_NE(found.output.find("serial_rate=600\nparity=odd\n"), std::string::npos)
        << found.output;

    const std::string dir = TempPath("qxcli-network-");
    std::filesystem::remove(dir);
    std::filesystem::create_directory(dir);
    const std::string profile = dir + "/written.ini";
    // Even, not none: asked for none, ser2net clears only the parity-enable flag, which a
    // pseudo-terminal never holds, and leaves the odd flag, so qxsim would go on hearing odd.
    const std::string settings = "[settings]\nchannel=7\nair_rate=2400\npower_saving=air "
                                 "wake-up\nair_protocol=Velmora\nid=40\nserial_rate=9600\n"
                                 "parity=even\n";
    std::ofstream(profile) << "[module]\nmodel=QX871\n" << settings;
    const CliRun write = RunOnServer({"write", rfc, profile});
    EXPECT_EQ(write.exit_code, 0) << write.errors << write.output;
    const CliRun back = RunOnServer({"read", rfc, "--baud", "9600", "--parity", "even"});
    ASSERT_EQ(back.exit_code, 0) << back.errors;
    EXPECT_EQ(Settings(back.output), settings);

    // ser2net serves the raw port at 9600 none, which a pseudo-terminal cannot tell from even
    const std::string raw = server.SocketUrl();
    const CliRun rawRead = RunOnServer({"read", raw, "--baud", "9600"});
    ASSERT_EQ(rawRead.exit_code, 0) << rawRead.errors;
    EXPECT_EQ(Settings(rawRead.output), settings);
    // a write at the server's line, read back the same way
    const CliRun rawWrite = RunOnServer({"write", raw, "--set", "channel=3", "--baud", "9600"});
    EXPECT_EQ(rawWrite.exit_code, 0) << rawWrite.errors << rawWrite.output;
    std::string changed = settings;
    changed.replace(changed.find("channel=7"), 9, "channel=3");
    const CliRun rawBack = RunOnServer({"read", raw, "--baud", "9600"});
    EXPECT_EQ(Settings(rawBack.output), changed) << rawBack.errors;
    const CliRun rawSearch = RunOnServer({"read", raw});
    EXPECT_EQ(rawSearch.exit_code, 3);
    EXPECT_EQ(rawSearch.errors, "qxcli: " + raw +
                                    ": the search cannot walk a raw socket: its line is the "
                                    "server's and cannot be changed from here; give the server's "
                                    "line with --baud (and --parity), or serve the port as "
                                    "rfc2217://\n");

    std::ofstream(dir + "/Config.ini") << "[Ports]\nCOM5=" << rfc << "\nCOM6=" << raw << "\n";
    const CliRun ports = RunCli({"ports"}, dir);
    EXPECT_NE(ports.output.find("COM5\t" + rfc + "\tnetwork (rfc2217)\t[Ports] of "),
              std::string::npos)
        << ports.output;
    EXPECT_NE(ports.output.find("COM6\t" + raw + "\tnetwork (socket)\t[Ports] of "),
              std::string::npos)
        << ports.output;
    const CliRun byName = RunOnServer({"read", "COM5"}, dir);
    EXPECT_EQ(byName.exit_code, 0) << byName.errors;
    EXPECT_EQ(Settings(byName.output), changed);
    std::filesystem::remove_all(dir);

    // a server gone: one message that names where it was
    server.Stop();
    const CliRun gone = RunCli({"read", rfc, "--baud", "9600"});
    EXPECT_EQ(gone.exit_code, 3);
    const std::string port = rfc.substr(rfc.rfind(':') + 1);
    EXPECT_EQ(gone.errors, "qxcli: " + rfc + ": cannot open: " + rfc +
                               ": no server at 127.0.0.1 port " + port + " (Connection refused)\n");
}
