#include "arguments.h"

#include "core/decimal_entry.h"
#include "core/setting_values.h"
#include "failure.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <array>
#include <filesystem>
#include <functional>
#include <string_view>

namespace cli {

namespace {

constexpr std::string_view kModuleCommands = "search read write diff sn";
constexpr std::array<std::string_view, 7> kCommands{"ports", "search", "read",   "write",
                                                    "diff",  "sn",     "records"};

// One option: the commands that take it, and what its value does to the arguments (a flag
// gets an empty value).
struct Option {
    std::string_view name;
    std::string_view commands;
    bool takesValue;
    std::function<void(Arguments&, const std::string&)> apply;
};

// `command` where the mistake is in what a known command was given.
[[noreturn]] void Usage(const std::string& text, const std::string& command = {}) {
    throw Failure{Exit::kUsage,
                  text + (command.empty() ? " (qxcli --help lists the commands)"
                                          : " (qxcli " + command + " --help lists its options)")};
}

int Number(const std::string& option, const std::string& text, int low, int high) {
    const auto value = core::DecimalInRange(text, static_cast<std::uint32_t>(low),
                                            static_cast<std::uint32_t>(high));
    if (!value)
        Usage(option + " takes a number from " + std::to_string(low) + " to " +
              std::to_string(high) + ", not '" + text + "'");
    return static_cast<int>(*value);
}

const std::vector<Option>& Options() {
    static const std::vector<Option> options{
        {"--baud", kModuleCommands, true,
         [](Arguments& a, const std::string& v) {
             const auto code = core::ParseSettingValue(core::Setting::kSerialRate, v);
             if (!code && v != "600")
                 Usage("--baud takes 600, 1200, 2400, 4800, 9600, 19200, 38400 or 57600, not '" +
                       v + "'");
             a.baud = std::stoi(v);
         }},
        {"--parity", kModuleCommands, true,
         [](Arguments& a, const std::string& v) {
             const auto code = core::ParseSettingValue(core::Setting::kParity, v);
             if (!code)
                 Usage("--parity takes none, even or odd, not '" + v + "'");
             a.parity = *code;
         }},
        {"--trace", kModuleCommands, false,
         [](Arguments& a, const std::string&) { a.trace = true; }},
        {"--timeout", kModuleCommands, true,
         [](Arguments& a, const std::string& v) {
             a.timeoutMs = Number("--timeout", v, 1, 60000);
         }},
        {"--framing", kModuleCommands, true,
         [](Arguments& a, const std::string& v) {
             if (v != "eded" && v != "5a5a")
                 Usage("--framing takes 5a5a or eded, not '" + v + "'");
             a.eded = v == "eded";
         }},
        {"--step-wait", kModuleCommands, true,
         [](Arguments& a, const std::string& v) {
             a.stepWaitMs = Number("--step-wait", v, 1, 60000);
         }},
        {"--all", kModuleCommands, false,
         [](Arguments& a, const std::string&) { a.allPorts = true; }},
        {"--quiet", kModuleCommands, false,
         [](Arguments& a, const std::string&) { a.quiet = true; }},
        {"--json", "ports search read write diff sn records", false,
         [](Arguments& a, const std::string&) { a.json = true; }},
        {"--set", "write", true, [](Arguments& a, const std::string& v) { a.sets.push_back(v); }},
        {"--settle", "write", true,
         [](Arguments& a, const std::string& v) { a.settleMs = Number("--settle", v, 0, 60000); }},
        {"--model", "sn", true, [](Arguments& a, const std::string& v) { a.model = v; }},
        {"--year", "sn", true, [](Arguments& a, const std::string& v) { a.year = v; }},
        {"--month", "sn", true, [](Arguments& a, const std::string& v) { a.month = v; }},
        {"--counter", "sn", true, [](Arguments& a, const std::string& v) { a.counter = v; }},
        {"--force", "sn", false, [](Arguments& a, const std::string&) { a.force = true; }},
        {"--only-if-blank", "sn", false,
         [](Arguments& a, const std::string&) { a.onlyIfBlank = true; }},
        {"--dry-run", "write sn", false, [](Arguments& a, const std::string&) { a.dryRun = true; }},
        {"--records", "write sn records", true,
         [](Arguments& a, const std::string& v) { a.records = v; }},
        {"--bench", "write sn", true, [](Arguments& a, const std::string& v) { a.bench = v; }},
        {"--serial", "records", true, [](Arguments& a, const std::string& v) { a.serial = v; }},
        {"--port", "records", true, [](Arguments& a, const std::string& v) { a.port = v; }},
        {"--from", "records", true, [](Arguments& a, const std::string& v) { a.from = v; }},
        {"--to", "records", true, [](Arguments& a, const std::string& v) { a.to = v; }},
        {"--csv", "records", false, [](Arguments& a, const std::string&) { a.csv = true; }},
    };
    return options;
}

bool Allowed(std::string_view commands, std::string_view command) {
    for (std::size_t at = 0; at < commands.size();) {
        const auto end = std::min(commands.find(' ', at), commands.size());
        if (commands.substr(at, end - at) == command)
            return true;
        at = end + 1;
    }
    return false;
}

// Splits the operands into ports and the profile: write without --set and diff end with it.
void TakeOperands(Arguments& a, std::vector<std::string> operands) {
    const bool withProfile = a.command == "diff" || (a.command == "write" && a.sets.empty());
    const std::size_t least = (a.allPorts ? 0 : 1) + (withProfile ? 1 : 0);
    if (a.command == "ports" || a.command == "records") {
        if (!operands.empty())
            Usage(a.command + ": unexpected '" + operands.front() + "'", a.command);
        return;
    }
    if (operands.size() < least) {
        if (a.command == "write" && !operands.empty())
            Usage("write takes a PROFILE or --set KEY=VALUE options, one of the two", a.command);
        Usage(a.command + " needs " + (withProfile ? "PORT... PROFILE" : "PORT..."), a.command);
    }
    if (withProfile) {
        a.profile = operands.back();
        operands.pop_back();
    } else if (a.command == "write") {
        // a profile file named with --set as well
        for (const std::string& operand : operands) {
            std::error_code error;
            if (std::filesystem::is_regular_file(operand, error))
                Usage("write takes a PROFILE or --set KEY=VALUE options, one of the two",
                      a.command);
        }
    }
    if (a.allPorts && !operands.empty())
        Usage(a.command + " takes PORT... or --all, not both", a.command);
    a.ports = std::move(operands);
}

void Check(const Arguments& a) {
    if (a.json && a.csv)
        Usage("--json and --csv: one of the two", a.command);
    if (a.parity && !a.baud)
        Usage("--parity goes with --baud");
    if (a.command == "sn") {
        if (a.model.empty() || a.year.empty() || a.month.empty() || a.counter.empty())
            Usage("sn needs --model, --year, --month and --counter", a.command);
    }
}

// The first word CLI11 left over: an option no command has, or an operand of a command that
// takes none.
[[noreturn]] void Unexpected(const std::string& word, const std::string& command) {
    if (word.starts_with("-"))
        Usage("unknown option '" + word.substr(0, word.find('=')) + "'");
    Usage(command + ": unexpected '" + word + "'", command);
}

// Takes the command out of `words`: the first word that is no option nor an option's value,
// wherever it stands, as the options may come before it. Empty when there is none.
std::string TakeCommand(std::vector<std::string>& words) {
    for (auto word = words.begin(); word != words.end(); ++word) {
        if (word->starts_with("-")) {
            const auto option = std::ranges::find(Options(), *word, &Option::name);
            if (option != Options().end() && option->takesValue && word + 1 != words.end())
                ++word;
            continue;
        }
        if (std::ranges::find(kCommands, *word) == std::end(kCommands))
            Usage("unknown command '" + *word + "'");
        std::string command = std::move(*word);
        words.erase(word);
        return command;
    }
    return {};
}

} // namespace

Arguments ParseArguments(const std::vector<std::string>& words) {
    Arguments a;
    std::vector<std::string> rest = words;
    a.command = TakeCommand(rest);
    // The help is our own (it names the exit codes and the setting keys), so CLI11's stays off.
    // Every option is known to every command, so a misplaced one is named as such.
    CLI::App app{"qxcli"};
    app.set_help_flag();
    app.allow_extras();
    app.add_flag_callback("-h,--help", [&a] { a.help = true; });
    app.add_flag_callback("--version", [&a] { a.version = true; });
    std::vector<std::string> operands;
    app.add_option("operands", operands);
    std::vector<std::pair<const Option*, const CLI::Option*>> given;
    for (const Option& option : Options()) {
        const std::string name(option.name);
        const CLI::Option* added =
            option.takesValue ? app.add_option_function<std::vector<std::string>>(
                                       name,
                                       [&a, &option](const std::vector<std::string>& values) {
                                           for (const std::string& value : values)
                                               option.apply(a, value);
                                       })
                                    ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
                                    ->expected(1)
                                    ->allow_extra_args(false)
                              : app.add_flag_callback(name, [&a, &option] { option.apply(a, {}); });
        given.emplace_back(&option, added);
    }
    std::vector<std::string> reversed(rest.rbegin(), rest.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::ArgumentMismatch& error) {
        // "--baud: 1 required TEXT missing"
        const std::string text = error.what();
        Usage(text.substr(0, text.find(':')) + " needs a value");
    } catch (const CLI::ParseError& error) {
        Usage(error.what());
    }
    if (a.help || a.version)
        return a;
    if (const auto left = app.remaining(); !left.empty())
        Unexpected(left.front(), a.command);
    if (a.command.empty())
        return a;
    for (const auto& [option, added] : given)
        if (added->count() > 0 && !Allowed(option->commands, a.command))
            Usage(a.command + " does not take " + std::string(option->name), a.command);
    TakeOperands(a, std::move(operands));
    Check(a);
    return a;
}

} // namespace cli
