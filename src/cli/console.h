// Standard error as a terminal: whether it is one, how wide it is, and writing to it whole.
#pragma once

#include <cstddef>
#include <string_view>

namespace cli {

// True when standard error is a terminal that takes the cursor movements the progress lines use
// (on Windows, a console that was switched to them).
bool ErrorIsTerminal();
// Columns of the terminal; 80 where it does not say.
std::size_t ErrorTerminalWidth();
// Writes all of `text` unbuffered, giving up when the terminal takes nothing.
void WriteError(std::string_view text);

} // namespace cli
