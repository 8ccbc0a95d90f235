#include "options.h"

#include "core/hex.h"
#include "core/models.h"
#include "core/module/module_state_file.h"

#include <map>
#include <optional>

namespace sim {

namespace {

using core::AnswerFault;

struct FaultOption {
    const char* name;
    AnswerFault::Kind kind;
    const char* help;
};

constexpr FaultOption kFaultOptions[] = {
    {"bad-checksum", AnswerFault::Kind::kBadChecksum, "CMD: answer CMD with a wrong checksum."},
    {"split", AnswerFault::Kind::kSplit,
     "CMD[:MS]: send the answer to CMD in two halves MS ms apart (default 500)."},
    {"garbage", AnswerFault::Kind::kGarbage,
     "CMD[:HEX]: put the bytes HEX (default FF) in front of the answer to CMD."},
    {"wrong-code", AnswerFault::Kind::kWrongCode,
     "CMD:CODE: answer CMD with the code of command CODE, checksum matching."},
    {"silent", AnswerFault::Kind::kSilent, "CMD: never answer CMD."},
};

std::optional<double> ParseRate(const std::string& text) {
    try {
        std::size_t used = 0;
        const double value = std::stod(text, &used);
        if (used == text.size() && value >= 0 && value <= 1)
            return value;
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

// A model name ("QX861" or "861") or its two-digit code ("21").
std::optional<int> ParseModel(const std::string& text) {
    for (int position = 0; position < core::kModelCount; ++position)
        if (text == core::ModelName(position, 1) || text == core::ModelName(position, 0))
            return core::HexByteValue(core::ModelCodeFromIndex(position));
    if (text.size() == 2 && text.find_first_not_of("0123456789ABCDEFabcdef") == std::string::npos)
        return core::HexByteValue(text);
    return core::ParseSettingValue(text);
}

// "1,2,3" -> each value checked against the setting's range.
std::optional<std::vector<int>> ParseList(const core::ModuleSetting& setting,
                                          const std::string& text) {
    std::vector<int> values;
    std::size_t start = 0;
    while (true) {
        const auto comma = text.find(',', start);
        const std::string item = text.substr(start, comma - start);
        const auto value = setting.member == &core::ModuleState::model
                               ? ParseModel(item)
                               : core::ParseSettingValue(item);
        if (!value || *value < setting.min || *value > setting.max)
            return std::nullopt;
        values.push_back(*value);
        if (comma == std::string::npos)
            return values;
        start = comma + 1;
    }
}

std::optional<int> ParseInt(const std::string& text, int min, int max) {
    const auto value = core::ParseSettingValue(text);
    if (!value || *value < min || *value > max)
        return std::nullopt;
    return value;
}

} // namespace

ParsedOptions ParseOptions(std::span<const std::string> args) {
    ParsedOptions parsed;
    Options& options = parsed.options;
    std::map<const core::ModuleSetting*, std::vector<int>> identity;
    auto fail = [&](std::string message) {
        parsed.error = std::move(message);
        return parsed;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::optional<std::string> inline_value;
        if (name.rfind("--", 0) != 0)
            return fail("unexpected argument \"" + name + "\"");
        name.erase(0, 2);
        if (const auto equals = name.find('='); equals != std::string::npos) {
            inline_value = name.substr(equals + 1);
            name.erase(equals);
        }
        const bool is_flag = name == "help" || name == "eded" || name == "verbose";
        if (is_flag && inline_value)
            return fail("--" + name + " takes no value");
        std::string value;
        if (!is_flag) {
            if (inline_value)
                value = *inline_value;
            else if (i + 1 < args.size())
                value = args[++i];
            else
                return fail("--" + name + " needs a value");
        }
        const std::string bad = "bad value \"" + value + "\" for --" + name;
        if (name == "help") {
            options.help = true;
        } else if (name == "eded") {
            options.eded = true;
        } else if (name == "verbose") {
            options.verbose = true;
        } else if (name == "modules") {
            const auto count = ParseInt(value, 1, core::kMaxModules);
            if (!count)
                return fail(bad + " (1 to " + std::to_string(core::kMaxModules) + ")");
            options.modules = *count;
        } else if (name == "link") {
            options.link_dir = value;
        } else if (name == "state") {
            options.state_file = value;
        } else if (name == "turnaround" || name == "air-delay" || name == "switch-delay") {
            const auto ms = ParseInt(value, 0, 60000);
            if (!ms)
                return fail(bad + " (0 to 60000 ms)");
            (name == "turnaround"  ? options.turnaround_ms
             : name == "air-delay" ? options.air_delay_ms
                                   : options.switch_delay_ms) = *ms;
        } else if (name == "loss" || name == "bit-errors") {
            const auto rate = ParseRate(value);
            if (!rate)
                return fail(bad + " (a chance from 0 to 1)");
            (name == "loss" ? options.loss : options.bit_errors) = *rate;
        } else if (name == "seed") {
            const auto seed = core::ParseSettingValue(value);
            if (!seed)
                return fail(bad);
            options.seed = static_cast<std::uint64_t>(*seed);
        } else if (const core::ModuleSetting* setting = core::FindModuleSetting(name)) {
            const auto values = ParseList(*setting, value);
            if (!values)
                return fail(bad + " (" + std::to_string(setting->min) + " to " +
                            std::to_string(setting->max) + " for each module)");
            identity[setting] = *values;
        } else {
            bool known = false;
            for (const FaultOption& fault : kFaultOptions) {
                if (name != fault.name)
                    continue;
                std::string error;
                const auto parsed_fault = core::ParseAnswerFault(fault.kind, value, error);
                if (!parsed_fault)
                    return fail("--" + name + ": " + error);
                options.faults.push_back(*parsed_fault);
                known = true;
            }
            if (!known)
                return fail("unknown option --" + name);
        }
    }
    const core::ModuleSetting* model = core::FindModuleSetting("model");
    const core::ModuleSetting* family = core::FindModuleSetting("family");
    for (int k = 0; k < options.modules; ++k) {
        core::ModuleState state;
        const auto pick = [k](const std::vector<int>& values) {
            return values[std::min<std::size_t>(static_cast<std::size_t>(k), values.size() - 1)];
        };
        for (const auto& [setting, values] : identity)
            state.*(setting->member) = pick(values);
        // A model names its family in its code's first digit.
        if (identity.contains(model) && !identity.contains(family))
            state.family = state.model & 0xF0;
        options.factory.push_back(state);
    }
    return parsed;
}

std::string HelpText() {
    std::string text =
        "Usage: qxsim [OPTION]...\n"
        "Virtual radio modules on pseudo-terminals. Prints each module's device path on a line\n"
        "of its own, then serves until SIGINT or SIGTERM.\n"
        "\n"
        "  --modules N         start N modules (default 1), sharing one air.\n"
        "  --link DIR          also name the devices DIR/ttyQX0, DIR/ttyQX1, ...; removed at "
        "exit.\n"
        "  --state FILE        load the modules' settings from FILE (they win over the identity\n"
        "                      options) and save them back whenever a module's settings change.\n"
        "  --eded              understand and answer the short EDED framing for the commands\n"
        "                      that have it; the search is still answered in 5A5A.\n"
        "  --turnaround MS     pause between a request and its answer (default 30).\n"
        "  --switch-delay MS   after answering 8001 or 800E, keep the old serial settings this\n"
        "                      much longer before taking up the new ones, as real firmware\n"
        "                      does (default 0: at once).\n"
        "  --loss P            chance from 0 to 1 that an air packet is lost (default 0).\n"
        "  --bit-errors P      chance from 0 to 1 that each bit on the air is flipped (default "
        "0).\n"
        "  --air-delay MS      extra delay added to every air packet (default 0).\n"
        "  --seed N            seed for loss and bit errors; one seed gives one outcome.\n"
        "  --verbose           log every frame in and out on standard error.\n"
        "  --help              show this text.\n"
        "\n"
        "Faults, each for a command CMD such as 8003 (or 03), or \"all\"; repeatable:\n";
    for (const FaultOption& fault : kFaultOptions) {
        std::string name = "  --" + std::string(fault.name) + " ";
        name.resize(22, ' ');
        text += name + fault.help + "\n";
    }
    text += "\nIdentity, each a value or a comma list with one value per module (the last value\n"
            "serves the modules after it); numbers are decimal, or hex after 0x:\n";
    for (const core::ModuleSetting& setting : core::ModuleSettings()) {
        std::string name = "  --" + std::string(setting.key) + " ";
        name.resize(22, ' ');
        text += name + setting.help + ".\n";
    }
    text += "\n"
            "Line settings: a module hears its host only when the host's port runs at the\n"
            "module's serial rate; bytes at another rate are ignored. A pseudo-terminal does not\n"
            "keep the parity-enable flag, only the odd flag, so odd parity is told apart from\n"
            "the others but even parity and no parity are not. After 8001 or 800E the module\n"
            "answers at its old settings and then moves to the new ones.\n"
            "\n"
            "Flow: a module takes the host's bytes no faster than its serial rate carries them;\n"
            "up to 4096 wait, as in a host's serial driver, and beyond that the oldest are\n"
            "dropped (whole requests where they begin one), so a request after a flood is heard\n"
            "within the time 4096 bytes take on the line. It keeps 512 bytes of answers and air\n"
            "data waiting to be sent; when that is full the oldest are dropped, as is what a host\n"
            "that does not read has no room for. Standard error tells how many, once a second.\n"
            "\n"
            "Air: data from a host that is not a request for its module goes over the air to\n"
            "every other module on the same channel, air rate and air protocol; a module in its\n"
            "transmit test neither sends nor hears.\n";
    return text;
}

} // namespace sim
