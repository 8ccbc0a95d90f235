// CSV as RFC 4180 writes it, for the files the tool saves (frame lists, pair test results).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace core {

// One field: quoted, with its quotes doubled, when it holds a comma, a quote, a CR or an LF;
// as it is otherwise.
std::string CsvField(std::string_view field);
// One record of `fields`, without its CRLF.
std::string CsvLine(const std::vector<std::string>& fields);

} // namespace core
