#include "config/config_file.h"
#include "config/replace_file.h"
#include "save_loop/save_sets.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <set>

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A hand-edited Config.ini whose groups hold the given sets, with comments, a repeated key and a
// repeated section that no save may disturb.
std::string HandEdited(const SaveSet& optionSet, const SaveSet& fieldSet, const SaveSet& portSet) {
    const auto n = [](int value) { return std::to_string(value); };
    const config::OptionValues& o = optionSet.options;
    const config::SerialNoFields& f = fieldSet.fields;
    const config::PortSettings& p = portSet.port;
    return "; bench 3, edited by hand\n[Ver]\ntype=QXTEST\nCEO=EN\n"
           "[Option]\nTest Delay Time=2500\nDelay time=" +
           n(o.delayTime) + "\nRX timer=" + n(o.rxTimer) +
           "\nRX/TX conversion=" + n(o.rxTxConversion) + "\nFrame delay=" + n(o.frameDelay) +
           "\nSearch before R/W=" + n(o.searchBeforeRw) +
           "\n; before the bench was rebuilt\nDelay time=900\n"
           "[SN]\nModel=" +
           n(f.model) + "\nYear=" + f.year + "\nMonth=" + f.month + "\nNO=" + f.no +
           "\n; the bench's port\n[COM]\nPort=" + n(p.port) + "\nRate=" + n(p.rate) +
           "\nVerify=" + n(p.verify) + "\n; left from an older install\n[Option]\nRX timer=10\n";
}

// Starts the save loop on `file`, waits for `saves` saves to finish, lets it go on while this
// process gives up the processor `yields` times, so that the kill lands anywhere in the saves
// that follow, and kills it.
void KillDuringSaves(const fs::path& file, int saves, unsigned yields) {
    int out[2];
    ASSERT_EQ(pipe2(out, O_CLOEXEC), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    std::string program = SAVE_LOOP_PATH;
    std::string path = file.string();
    char* argv[] = {program.data(), path.data(), nullptr};
    pid_t child = 0;
    const int spawned = posix_spawn(&child, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    ASSERT_EQ(spawned, 0);
    char marks[16];
    int seen = 0;
    for (ssize_t got = 1; seen < saves && got > 0; seen += static_cast<int>(got)) {
        got = std::max<ssize_t>(read(out[0], marks, static_cast<std::size_t>(saves - seen)), 0);
    }
    for (unsigned turn = 0; turn < yields; ++turn) {
        sched_yield();
    }
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    close(out[0]);
    EXPECT_EQ(seen, saves);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
}

} // namespace

TEST(KilledSaves, LeaveEveryGroupWholeAndTheNextStartRemovesTheirTemporaries) {
    // QX_SAVE_KILLS sets the number of kills for a longer run by hand.
    const char* asked = std::getenv("QX_SAVE_KILLS");
    const int kills = asked != nullptr ? std::atoi(asked) : 20;
    TempDir dir;
    const fs::path file = dir.File("Config.ini");
    std::set<std::string> whole; // any mix of groups, each holding one set
    for (const SaveSet& optionSet : kSaveSets) {
        for (const SaveSet& fieldSet : kSaveSets) {
            for (const SaveSet& portSet : kSaveSets) {
                whole.insert(HandEdited(optionSet, fieldSet, portSet));
            }
        }
    }
    WriteBytes(file, HandEdited(kSaveSets[1], kSaveSets[1], kSaveSets[1]));
    std::mt19937 random(std::random_device{}());
    int leftBehind = 0;
    for (int round = 0; round < kills; ++round) {
        KillDuringSaves(file, std::uniform_int_distribution(1, 6)(random),
                        std::uniform_int_distribution(0u, 4000u)(random));
        leftBehind += static_cast<int>(dir.Names().size()) - 1;
        // The next start, at once.
        config::RemoveLeftoverTemporaries(file);
        ASSERT_EQ(dir.Names(), std::vector<std::string>{"Config.ini"}) << round;
        ASSERT_TRUE(whole.contains(ReadBytes(file))) << round << ":\n" << ReadBytes(file);
    }
    RecordProperty("TemporariesLeftByKills", leftBehind);
}
