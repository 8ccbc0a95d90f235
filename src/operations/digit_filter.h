// Decimal entry fields (module and target IDs, sleep times, serial number, capacitance value)
// take only the digits 0 to 9; editing keys such as backspace work as usual.
#pragma once

class QLineEdit;

// Installs the filter: typed or pasted text with anything but digits is refused.
void AcceptDigitsOnly(QLineEdit* edit);
