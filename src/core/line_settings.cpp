#include "line_settings.h"

namespace core {

namespace {

char ParityLetter(int code) {
    switch (code) {
    case 0x00:
        return 'N';
    case 0x08:
        return 'O';
    case 0x18:
        return 'E';
    case 0x28:
        return 'M';
    case 0x38:
        return 'S';
    }
    return '?';
}

} // namespace

int ModuleParityCode(const LineSettings& line) {
    return line.PortParityCode == 0x18 ? 1 : line.PortParityCode == 0x08 ? 2 : 0;
}

std::string LineSettingText(const LineSettings& line) {
    // data-bits codes 0..3 stand for 5..8 bits; stop-bits code 4 for two stop bits
    return std::to_string(line.BaudRate) + ' ' + std::to_string(line.PortDataBitsCode + 5) +
           ParityLetter(line.PortParityCode) + (line.PortStopBitsCode == 4 ? '2' : '1');
}

} // namespace core
