#include "arguments.h"

#include "core/decimal_entry.h"
#include "core/setting_values.h"
#include "failure.h"

#include <algorithm>
#include <array>
#include <functional>
#include <string_view>

namespace cli {

namespace {

constexpr std::array kCommands{"ports", "search", "read", "write", "diff", "sn"};
constexpr std::string_view kModuleCommands = "search read write diff sn";

struct Option {
    std::string_view name;
    std::string_view commands; // where it is allowed
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
        {"--step-wait", "search read write diff sn", true,
         [](Arguments& a, const std::string& v) {
             a.stepWaitMs = Number("--step-wait", v, 1, 60000);
         }},
        {"--json", "read", false, [](Arguments& a, const std::string&) { a.json = true; }},
        {"--set", "write", true, [](Arguments& a, const std::string& v) { a.sets.push_back(v); }},
        {"--settle", "write", true,
         [](Arguments& a, const std::string& v) { a.settleMs = Number("--settle", v, 0, 60000); }},
        {"--model", "sn", true, [](Arguments& a, const std::string& v) { a.model = v; }},
        {"--year", "sn", true, [](Arguments& a, const std::string& v) { a.year = v; }},
        {"--month", "sn", true, [](Arguments& a, const std::string& v) { a.month = v; }},
        {"--counter", "sn", true, [](Arguments& a, const std::string& v) { a.counter = v; }},
        {"--dry-run", "sn", false, [](Arguments& a, const std::string&) { a.dryRun = true; }},
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

// Operands each command takes: at least, at most.
std::pair<std::size_t, std::size_t> OperandCount(std::string_view command) {
    if (command == "ports")
        return {0, 0};
    if (command == "write")
        return {1, 2};
    if (command == "diff")
        return {2, 2};
    return {1, 1};
}

void Check(const Arguments& a) {
    const auto [least, most] = OperandCount(a.command);
    if (a.operands.size() < least)
        Usage(a.command + " needs " +
                  (a.command == "diff" ? std::string("PORT PROFILE") : std::string("PORT")),
              a.command);
    if (a.operands.size() > most)
        Usage(a.command + ": unexpected '" + a.operands[most] + "'", a.command);
    if (a.parity && !a.baud)
        Usage("--parity goes with --baud");
    if (a.command == "write" && (a.operands.size() == 2) == !a.sets.empty())
        Usage("write takes a PROFILE or --set KEY=VALUE options, one of the two", a.command);
    if (a.command == "sn") {
        if (a.model.empty() || a.year.empty() || a.month.empty() || a.counter.empty())
            Usage("sn needs --model, --year, --month and --counter", a.command);
    }
}

} // namespace

Arguments ParseArguments(const std::vector<std::string>& words) {
    Arguments a;
    std::vector<const Option*> given; // checked against the command once it is known
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word == "--help" || word == "-h") {
            a.help = true;
            continue;
        }
        if (word == "--version") {
            a.version = true;
            continue;
        }
        if (!word.starts_with("--")) {
            if (a.command.empty()) {
                if (std::ranges::find(kCommands, word) == kCommands.end())
                    Usage("unknown command '" + word + "'");
                a.command = word;
            } else {
                a.operands.push_back(word);
            }
            continue;
        }
        std::string name = word;
        std::string value;
        bool inlineValue = false;
        if (const auto equals = word.find('='); equals != std::string::npos) {
            name = word.substr(0, equals);
            value = word.substr(equals + 1);
            inlineValue = true;
        }
        const auto& options = Options();
        const auto option = std::ranges::find(options, name, &Option::name);
        if (option == options.end())
            Usage("unknown option '" + name + "'");
        given.push_back(&*option);
        if (option->takesValue && !inlineValue) {
            if (i + 1 >= words.size())
                Usage(name + " needs a value");
            value = words[++i];
        } else if (!option->takesValue && inlineValue) {
            Usage(name + " takes no value");
        }
        option->apply(a, value);
    }
    if (a.help || a.version || a.command.empty())
        return a;
    for (const Option* option : given)
        if (!Allowed(option->commands, a.command))
            Usage(a.command + " does not take " + std::string(option->name), a.command);
    Check(a);
    return a;
}

} // namespace cli
