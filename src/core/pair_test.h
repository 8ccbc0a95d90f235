// The pair transfer test's arithmetic: what it counts, its success rate, the correction of a
// shortened echo and the judging of a received frame. Frames are raw bytes, compared exactly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace core {

enum class PairRole { MainTransmitter, MainReceiver };

// What the test counts and remembers between frames; a start begins a new one.
struct PairTally {
    std::int64_t sent = 0;
    std::int64_t received = 0;
    std::int64_t right = 0;
    std::int64_t wrong = 0;
    std::int64_t tx_bytes = 0;
    std::int64_t rx_bytes = 0;
    std::string last_good;      // the last frame judged right; emptied by a wrong one
    bool first_rx_seen = false; // the main receiver has taken its first frame
    // The main transmitter's last frame still waits for its answer: it is neither a success
    // nor lost until the answer comes or a later frame is sent in its place.
    bool awaiting = false;
};

// A test frame was written; `awaitsAnswer` on the main transmitter, whose frames are answered.
// The successes are lowered to the frames sent: the main receiver judges frames before it has
// sent as many.
void CountSentFrame(PairTally& tally, std::size_t length, bool awaitsAnswer);

// A test frame arrived; `length` is that of the frame after correction. It ends the wait.
void CountReceivedFrame(PairTally& tally, std::size_t length);

// The frames sent whose wait has ended: all but the one waiting for its answer.
std::int64_t FramesSettled(const PairTally& tally);

// The success rate in percent over the frames settled, never above 100; nullopt before any.
std::optional<double> SuccessPercent(const PairTally& tally);

// "75.00%" for 3 right of 4 settled: two decimals rounded half up, never above "100.00%".
// nullopt before a frame settled, when the field keeps what it shows.
std::optional<std::string> SuccessRateText(const PairTally& tally);

// Whether a received frame is a damaged copy of `reference` and is to be taken as it: it must be
// shorter than the reference, by less than 20 bytes on the main transmitter or 10 on the main
// receiver, and agree with it in its first and last byte, its first half or its last half (half
// of the reference's length). Never with correction disabled (variant "QXTEST").
bool CorrectEcho(std::string_view reference, std::string_view received, PairRole role,
                 bool correction_disabled);

// Judges a received frame and counts it right or wrong. Against `expected` when the test
// compares with a given text; otherwise against `last_sent`, except that the main receiver's
// first frame is right whatever it holds. Returns whether it was right.
bool JudgeTestReceipt(PairTally& tally, std::string_view received, PairRole role,
                      std::string_view last_sent, std::optional<std::string_view> expected);

} // namespace core
