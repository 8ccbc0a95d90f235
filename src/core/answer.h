// Accepting a complete answer: what it means, given the framing in force and the command the
// tool waits for. The window only applies the event, shows the text and runs the chain step.
#pragma once

#include "catalogue.h"
#include "texts.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace core {

// The module settings, listed in setting_table.h.
enum class Setting;

namespace answer {

// The parity of the serial-settings answers of the short framing, which carry a rate alone.
inline constexpr int kParityNotCarried = -1;

// Events compare by value. Accepted answers that change something:
struct SearchAnswer {
    int family;
    int version;
    int baseFrequencyCode;
    bool operator==(const SearchAnswer&) const = default;
};
struct SerialSettingsWritten {
    int rateCode;
    int parity; // 0 none, 1 even, 2 odd, or kParityNotCarried
    bool operator==(const SerialSettingsWritten&) const = default;
};
struct SerialSettingsRead {
    int rateCode;
    int parity; // as for SerialSettingsWritten
    bool operator==(const SerialSettingsRead&) const = default;
};
// The value of a setting that its own read reports alone (setting_table.h: SimpleReadOf).
struct SettingRead {
    Setting setting;
    int value;
    bool operator==(const SettingRead&) const = default;
};
struct SerialNumberWritten {
    bool operator==(const SerialNumberWritten&) const = default;
};
struct SerialNumber {
    std::string modelCode; // two characters, as the model list knows them
    std::string year;      // "2012"
    std::string month;     // "05"
    std::string number;    // "00258"
    bool operator==(const SerialNumber&) const = default;
};
struct AllWritten {
    int rateCode;
    int parity;
    bool operator==(const AllWritten&) const = default;
};
struct FieldStrength {
    std::string hex; // the byte's two characters as they came
    int value;
    bool operator==(const FieldStrength&) const = default;
};
struct PowerLevelSet {
    int value;
    bool operator==(const PowerLevelSet&) const = default;
};
struct AllRead {
    int channel;
    int airRate;
    int serialRate;
    int parity;
    bool operator==(const AllRead&) const = default;
};
struct IoLineWritten {
    int line;
    bool high;
    bool operator==(const IoLineWritten&) const = default;
};
struct IoLinesRead {
    int id;
    int level1;
    int level2;
    bool operator==(const IoLinesRead&) const = default;
};
// Accepted, nothing to change beyond the text.
struct Acknowledged {
    bool operator==(const Acknowledged&) const = default;
};
// An answer to another command than the one awaited: `code` is the answer's command number.
struct Refused {
    std::uint8_t code;
    bool operator==(const Refused&) const = default;
};
// A frame whose checksum does not hold: the text and the line that follows it in the log.
struct BadChecksum {
    std::string text;
    TextId line;
    bool operator==(const BadChecksum&) const = default;
};
// Text with a header or trailer no handler reads: it goes to the log as it is.
struct NotAFrame {
    std::string text;
    bool operator==(const NotAFrame&) const = default;
};
// A good frame with a code no table row knows.
struct Ignored {
    bool operator==(const Ignored&) const = default;
};
// Text the short-framing handler drops without trace.
struct Dropped {
    bool operator==(const Dropped&) const = default;
};

} // namespace answer

using AnswerEvent =
    std::variant<answer::SearchAnswer, answer::SerialSettingsWritten, answer::SerialSettingsRead,
                 answer::SettingRead, answer::SerialNumberWritten, answer::SerialNumber,
                 answer::AllWritten, answer::FieldStrength, answer::PowerLevelSet, answer::AllRead,
                 answer::IoLineWritten, answer::IoLinesRead, answer::Acknowledged, answer::Refused,
                 answer::BadChecksum, answer::NotAFrame, answer::Ignored, answer::Dropped>;

// The operation the set-all chain starts after an answer, accepted or not, while it runs.
enum class ChainNext { kWriteSerialNumber, kWriteAll, kStartTxTest };
struct ChainStep {
    ChainNext next;
    bool testDelay; // wait TestDelayTime instead of the short pause
};

struct AnswerResult {
    AnswerEvent event;
    std::optional<TextId> text =
        std::nullopt;         // status text; none: nothing shown, or the event tells its own
    bool textAfter = false;   // show the text after applying the event, not before
    bool chineseOnly = false; // the Chinese text whatever the language
    bool endsChain = false;   // the start-of-test answer ends the set-all chain
    std::optional<ChainStep> chain = std::nullopt;
};

// `text` is the answer as hex without spaces; `handler` is k5A5A (which also reads the 4040
// answers) or kEDED (under "MORVANTELIS", passing 5A5A answers on); `lastCommand` is the text
// the awaited answer is accepted against ("8003", "40408013").
//
// Texts the event tells itself: the serial-number answer's (it depends on who asked), the
// power level's value after the Chinese text, and the search's "(Model read ok)" suffix.
AnswerResult AcceptAnswer(std::string_view text, Framing handler, std::string_view lastCommand);

// The status text `result` shows under `rule`, or null where it shows none.
const char* AnswerText(const AnswerResult& result, const TextRule& rule);

// The parity (0 none, 1 even, 2 odd) a module runs at after an answer about its serial
// settings: the answer's own; without one (kParityNotCarried) the module keeps the parity it
// answered at, `answeredAt`.
int ParityAfterAnswer(int answered, int answeredAt);

} // namespace core
