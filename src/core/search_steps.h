// The 21 line settings the radio search walks through: seven baud rates, three parities each,
// the baud rate changing slowest. Every step uses 8 data bits and 1 stop bit.
#pragma once

#include <string>

namespace core {

inline constexpr int kSearchSteps = 21;

struct SearchStep {
    int baud_position;   // in the port dialog's baud list: 0 "600" .. 6 "38400"
    int parity_position; // in its parity list: 0 even, 1 odd, 2 none
    int baud_code;       // serial library code: 600:6, 1200:7, 2400:9, 4800:10, 9600:12, ...
    int parity_code;     // serial library code: even 0x18, odd 0x08, none 0x00
};

// Settings of step 1..21 (step 1 is 600 baud even, 21 is 38400 baud none);
// a step outside 1..21 gives all -1.
SearchStep SearchStepAt(int step);

// A step's line setting as the operator reads it, "9600 8E1"; empty outside 1..21.
std::string SearchStepText(int step);

// The step of the dialog's selection, 3 * baud + parity + 1; 0 when either position is
// outside the search's lists (no selection, or a rate such as 57600).
int StartStepFromPortDialog(int baud_position, int parity_position);

} // namespace core
