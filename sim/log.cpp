#include "log.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace sim {

namespace {

unsigned At(const core::Bytes& bytes, std::size_t i) {
    return static_cast<unsigned char>(bytes[i]);
}

std::string TimeOfDay() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", local.tm_hour, local.tm_min,
                  local.tm_sec, static_cast<int>(ms));
    return text;
}

} // namespace

void Log::Frame(int module, std::string_view direction, const core::Bytes& bytes,
                const std::string& meaning) const {
    if (!verbose_)
        return;
    std::fprintf(stderr, "%s module %d %-4.*s %s  %s\n", TimeOfDay().c_str(), module,
                 static_cast<int>(direction.size()), direction.data(),
                 core::BytesToHex(bytes).c_str(), meaning.c_str());
    std::fflush(stderr);
}

void Log::Event(int module, const std::string& text) const {
    if (!verbose_)
        return;
    std::fprintf(stderr, "%s module %d %s\n", TimeOfDay().c_str(), module, text.c_str());
    std::fflush(stderr);
}

void Log::Problem(const std::string& text) {
    std::fprintf(stderr, "qxsim: %s\n", text.c_str());
    std::fflush(stderr);
}

std::string DescribeFrame(core::Framing framing, const core::Bytes& frame) {
    // Requests carry 80xx, answers 00xx; the name is the request's either way.
    switch (framing) {
    case core::Framing::kEDED:
        if (frame.size() < 5)
            return "short EDED frame";
        return core::CommandLogName(static_cast<std::uint8_t>(At(frame, 2))) + " " +
               core::BytesToHex(frame.substr(3, frame.size() - 4));
    case core::Framing::k4040:
        if (frame.size() < 11)
            return "short 4040 frame";
        return core::CommandLogName(static_cast<std::uint8_t>(At(frame, 7)), true) + " ID " +
               core::BytesToHex(frame.substr(3, 2)) + " " +
               core::BytesToHex(frame.substr(8, frame.size() - 11));
    case core::Framing::k5A5A:
        break;
    }
    if (frame.size() < 11)
        return "short 5A5A frame";
    return core::CommandLogName(static_cast<std::uint8_t>(At(frame, 6))) + " " +
           core::BytesToHex(frame.substr(8, frame.size() - 11));
}

} // namespace sim
