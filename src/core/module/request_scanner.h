// The module's side of the line: tells a request frame at the start of the received bytes
// apart from raw data, which the module sends over the air instead.
#pragma once

#include "core/catalogue.h"

#include <cstddef>
#include <string_view>

namespace core {

enum class ScanStatus {
    kNeedMore,   // the bytes so far begin like a request; wait for the rest
    kRequest,    // a complete request of `length` bytes in `framing`
    kNotRequest, // no request starts here: the bytes are raw data
};

struct ScanResult {
    ScanStatus status = ScanStatus::kNeedMore;
    std::size_t length = 0;
    Framing framing = Framing::k5A5A;
};

// A 5A5A request is 11 + payload-length bytes, a 4040 request its length field + 6, an EDED
// request 5 bytes (considered only when the module speaks EDED). A complete frame counts as a
// request only with its marker, request code, trailer and checksum right, so raw text that
// merely starts with "ZZ" or "@@" still goes over the air.
ScanResult ScanRequest(std::string_view bytes, bool eded);

} // namespace core
