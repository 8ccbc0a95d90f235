#include "commands.h"

#include "core/setting_values.h"

#include <map>
#include <sstream>

namespace cli {

namespace {

constexpr const char* kCommon = R"(
PORT is a COM name (COM3), resolved as the window resolves it: section [Ports] of Config.ini
in the current directory, then the serial devices of the system; or a device path. Several
PORTs, or --all for every port qxcli ports lists, are worked on at once: one block a port in
the order named, each beginning "# PORT", each failure on standard error naming its port,
then a summary line on standard error, such as 6 written, 1 refused (COM4); the exit code is
the worst of the ports', where 4 (records or counter server) ranks above 1, 2 and 3.

Options of every command that talks to a module:
  --baud RATE       skip the search: the module runs at RATE (600 .. 57600) ...
  --parity P        ... with parity none (default), even or odd
  --framing eded    the short EDED framing, for the modules of that variant
  --timeout MS      how long the module has to answer each request once found (default 1000)
  --step-wait MS    how long each search step waits for an answer (default: the request's
                    time on the wire at the step's rate, plus 50 ms for the module and 20 ms;
                    1100 is the window's pace); a module that answers later than that
                    is asked again at each step its answer may belong to, with a longer wait
  --all             every port qxcli ports lists, instead of PORTs
  --json            one JSON object a port, one line each (the README tells the keys)
  --quiet           no progress on standard error (shown only when it is a terminal)
  --trace           every frame on standard error, one line each, tab-separated: ms since
                    start, UTC time, direction, port, line, framing, command or answer,
                    length, hex, verdict, round trip
  --help            this text
)";

constexpr const char* kExitCodes = R"(
Exit codes: 0 done, 1 no module found (or it stopped answering), 2 refused by the module, the
profile or a guard rail of sn, or the read-back differs, 3 port error, 4 the records or the
counter's server cannot be used, 64 bad command line or file.
)";

constexpr const char* kRecordOptions = R"(
Each port's write and serial number given is recorded (time, bench, port and device, model,
each setting's old and new value, the number, the result) in records.sqlite beside Config.ini,
or where --records names:
  --records WHERE   an SQLite file, or a line's server: postgresql://USER@HOST/DATABASE
  --bench NAME      the bench the records name (default: the host name)
qxcli records lists them.)";

// "a, b and c"
std::string Enumerated(const std::vector<std::string>& words) {
    std::string text;
    for (std::size_t i = 0; i < words.size(); ++i)
        text += (i == 0 ? "" : i + 1 == words.size() ? " and " : ", ") + words[i];
    return text;
}

// The keys of the settings, from their rows: those a module reports, every key (a pair that
// travels in one request named together), and those written but never reported.
std::string SettingKeysText(bool write) {
    std::vector<std::string> reported, keys, unreported;
    for (const core::SettingRow& row : core::SettingRows()) {
        (row.Readable() ? reported : unreported).push_back(row.key);
        if (row.with && !core::RowOf(*row.with).Readable()) {
            if (row.layout != core::SettingLayout::kCarried)
                keys.push_back(std::string(row.key) + " and " + core::RowOf(*row.with).key +
                               " (together)");
        } else {
            keys.push_back(row.key);
        }
    }
    const std::string text =
        write ? "Keys: " + Enumerated(keys) + ". " + Enumerated(unreported) +
                    " are written but never reported by a module, so the read-back cannot "
                    "confirm them."
              : "[settings] holds " + Enumerated(reported) + ".";
    // wrapped as the rest of the help
    std::istringstream words(text);
    std::string wrapped, line, word;
    while (words >> word) {
        if (!line.empty() && line.size() + 1 + word.size() > 95) {
            wrapped += line + "\n";
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
    }
    return wrapped + line;
}

const std::map<std::string, std::string>& Texts() {
    static const std::map<std::string, std::string> texts{
        {"", R"(Usage: qxcli COMMAND [OPTION]... 
Radio modules from benches and scripts, on the engine of the window.

Commands:
  ports                 the serial ports the tool can use
  search PORT...        find the module: its line, family, model and serial number
  read PORT...          every setting the module reports, as a profile
  write PORT... PROFILE write a profile's settings, read back, show the differences
  write PORT... --set KEY=VALUE...
  diff PORT... PROFILE  compare the module with a profile; writes nothing
  sn PORT... --model NAME --year YYYY --month MM --counter FILE
                        give the module the next factory serial number
  records               what the writes and serial numbers did, as text, JSON Lines or CSV
Each takes --json for one JSON object a port (a record), a line each; --all instead of PORTs
for every port qxcli ports lists.

qxcli COMMAND --help tells more; qxcli --version prints the version.)"},
        {"ports", R"(Usage: qxcli ports [--json]
Lists COM1 .. COM36 where they stand for a device: the device, its /dev/serial/by-id name,
USB vendor:product and serial number where the system knows them, and whether section [Ports]
of Config.ini in the current directory maps it; a device that [Ports] names but that does not
exist is marked "no such device". --json prints one JSON object a port.

Exit codes: 0 done, 64 bad command line.)"},
        {"search", R"(Usage: qxcli search PORT... [OPTION]...
Tries the line the module on PORT was last found at (qxcli-lines.ini beside Config.ini keeps
it), then the factory setting (9600, no parity), then the 21 line settings of the window's
search (600 .. 38400 baud, even, odd and no parity) from the slowest, then 57600, and prints
where the module answered, with its family, firmware, base frequency, model and serial number.
The module's own serial settings decide the parity shown.)"},
        {"read", R"(Usage: qxcli read PORT... [OPTION]...
Finds the module and prints every setting it reports as a profile: [module] with its model,
serial number, family, firmware, base frequency, channel frequency (and IO inputs where it has
them).
)" + SettingKeysText(false) +
                     "\n--json prints the same as one JSON object, values typed."},
        {"write", R"(Usage: qxcli write PORT... PROFILE [OPTION]...
       qxcli write PORT... --set KEY=VALUE [--set KEY=VALUE]... [OPTION]...
Writes the settings of a profile (qxcli read makes one) or of --set options: the profile must
be of the module's model, and every value one the model takes, or nothing is written. The
serial settings go last and the port follows the module to them. Then everything is read back
and each difference printed; any difference or refusal exits 2. After a change of the serial
settings the port waits --settle MS (default 100) at the new line for the module to take them
up, and asks once more after that long again; a module that still does not answer there ends
with "written; not confirmed at RATE PARITY" and exit 1. --dry-run reads the module and lists
what the write would send, in its order (the serial settings last), each setting with the
value the module holds now and the value wanted (channel: 7 -> 3), then writes and records
nothing.
)" + SettingKeysText(true) +
                      kRecordOptions},
        {"diff", R"(Usage: qxcli diff PORT... PROFILE [OPTION]...
Reads the module and prints each setting of the profile that it does not hold; exits 2 when
there is one. Writes nothing.)"},
        {"sn",
         R"(Usage: qxcli sn PORT... --model NAME --year YYYY --month MM --counter FILE [OPTION]...
Writes the next factory serial number: model NAME (such as QX861), year and month, and the
running number that FILE holds (one decimal line; create it with the first number), and prints
it after the port with the number the module had: COM3 QX861 2026-05 01006 (was 2024-01 00017).
The module is found first and must pass its guard rails before a number is taken, so a module
refused (exit 2) costs no number:
  --force           number it even when NAME is of another family than the one the module
                    reports in its search answer (refused otherwise)
  --only-if-blank   refuse a module that has a number already (a running number of 0 is none)
  --dry-run         find each module, read its model and number, apply the guard rails and
                    print the number it would get (each further port the next), stepping
                    neither the counter nor writing the module
The counter is stepped and synced to the disk before the number goes out, so a crash never
hands a number out twice, and benches sharing FILE take turns through FILE.lock. FILE.lock stays
beside FILE: removing it while another bench waits on it would let a third lock a new one, and
two benches could take the same number. A step killed before its rename may leave
FILE.XXXXXXXX.tmp; the next step removes it. A refused write uses its number up. The number is
read back. Several ports are searched at once and numbered in the order named: each number is
stepped before it goes out. A counter postgresql://USER@HOST/DATABASE is the row 'qxcli' of
table qx_serial_counter a line of benches shares on its server: stepped in a transaction, so two
benches never take one number, and a bench that loses the connection on the way gives none.)" +
             std::string(kRecordOptions)},
        {"records", R"(Usage: qxcli records [--records WHERE] [FILTER]... [--json | --csv]
Lists the records of writes and serial numbers given, oldest first, one line each
(tab-separated: UTC time, bench, command, port, device, model, serial number, result, changes,
why), or one JSON object a line with --json (the README tells the keys), or CSV with a header
for a spreadsheet with --csv. WHERE is records.sqlite beside Config.ini unless given (a file,
or postgresql://USER@HOST/DATABASE).
  --serial NUMBER   the records of a serial number: 2026-12 01006, or the running number 01006
  --port PORT       the records of a port, as it was named (COM3)
  --from TIME       at or after TIME, UTC: 2026-12-09, 2026-12-09T14:00
  --to TIME         before TIME

Exit codes: 0 done, 4 the records cannot be read, 64 bad command line or no such file.)"},
    };
    return texts;
}

} // namespace

const char* HelpText(const std::string& command) {
    static std::map<std::string, std::string> full;
    auto& text = full[command];
    if (text.empty()) {
        text = Texts().at(command) + "\n";
        if (command != "ports" && command != "records")
            text += std::string(command.empty() ? "" : kCommon) + kExitCodes;
    }
    return text.c_str();
}

} // namespace cli
