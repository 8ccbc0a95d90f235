#include "models.h"

#include "hex.h"

#include <array>

namespace core {

namespace {

enum class Band { k433, k490, k230, k2400 };

struct Model {
    const char* name; // bare name; the naming variant adds a prefix
    const char* code;
    const char* family;
    Band band;
    int max_rate;
};

// Position 22 (886) sits after the 230 MHz block; it is gated like 881..885.
constexpr std::array<Model, kModelCount> kModels{{
    {"861", "21", "86", Band::k433, 19200},   {"862", "22", "86", Band::k433, 19200},
    {"863", "23", "86", Band::k433, 19200},   {"864", "24", "86", Band::k433, 19200},
    {"865", "25", "86", Band::k433, 19200},   {"866", "26", "86", Band::k433, 19200},
    {"871", "31", "87", Band::k433, 38400},   {"872", "32", "87", Band::k433, 38400},
    {"873", "33", "87", Band::k433, 38400},   {"874", "34", "87", Band::k433, 38400},
    {"875", "35", "87", Band::k433, 38400},   {"876", "36", "87", Band::k433, 38400},
    {"877", "37", "87", Band::k433, 38400},   {"878", "38", "87", Band::k433, 38400},
    {"881", "41", "88", Band::k490, 19200},   {"882", "42", "88", Band::k490, 19200},
    {"883", "43", "88", Band::k490, 19200},   {"885", "45", "88", Band::k490, 19200},
    {"230A", "11", "23", Band::k230, 19200},  {"230B", "12", "23", Band::k230, 19200},
    {"230C", "13", "23", Band::k230, 19200},  {"230D", "14", "23", Band::k230, 19200},
    {"886", "46", "88", Band::k490, 19200},   {"891", "51", "89", Band::k490, 38400},
    {"892", "52", "89", Band::k490, 38400},   {"893", "53", "89", Band::k490, 38400},
    {"894", "54", "89", Band::k490, 38400},   {"895", "55", "89", Band::k490, 38400},
    {"896", "56", "89", Band::k490, 38400},   {"897", "57", "89", Band::k490, 38400},
    {"898", "58", "89", Band::k490, 38400},   {"2401", "61", "24", Band::k2400, 57600},
    {"2402", "62", "24", Band::k2400, 57600}, {"2403", "63", "24", Band::k2400, 57600},
    {"2404", "64", "24", Band::k2400, 57600}, {"2405", "65", "24", Band::k2400, 57600},
}};

const Model* At(int position) {
    if (position < 0 || position >= kModelCount)
        return nullptr;
    return &kModels[static_cast<std::size_t>(position)];
}

bool IsMorvantelis(std::string_view variant_type) {
    return variant_type == "MORVANTELIS";
}

} // namespace

std::string ModelName(int position, int list_variant) {
    const Model* m = At(position);
    if (m == nullptr)
        return "";
    const char* prefix = list_variant == 1 ? "QX" : list_variant == 2 ? "NUV" : "";
    return std::string(prefix) + m->name;
}

std::string AnswerModelName(int position, int list_variant) {
    return ModelName(position, list_variant == 1 ? 1 : 0);
}

std::string ModelCodeFromIndex(int position) {
    const Model* m = At(position);
    return m == nullptr ? "" : m->code;
}

int ModelIndexFromCode(std::string_view code) {
    for (int i = 0; i < kModelCount; ++i)
        if (code == kModels[static_cast<std::size_t>(i)].code)
            return i;
    return -1;
}

std::string ModelFamily(int position) {
    const Model* m = At(position);
    return m == nullptr ? "" : m->family;
}

int FamilyByte(int position) {
    const Model* m = At(position);
    return m == nullptr ? 0 : (m->code[0] - '0') * 0x10;
}

std::vector<std::string> BaseFrequencies(int position) {
    const Model* m = At(position);
    if (m == nullptr)
        return {};
    switch (m->band) {
    case Band::k433:
        return {"433MHZ", "915MHZ", "868MHZ"};
    case Band::k490:
        return {"490MHZ"};
    case Band::k230:
        return {"230MHZ"};
    case Band::k2400:
        return {"2400MHZ"};
    }
    return {};
}

std::vector<std::string> InitialBaseFrequencies() {
    return {"433MHZ", "490MHZ", "915MHZ", "868MHZ", "230MHZ"};
}

int ChannelCount(int position, std::string_view variant_type) {
    if (At(position) == nullptr)
        return 0;
    if (position == 0)
        return 4;
    if (position == 2 && variant_type == "KWTRLP")
        return 16;
    if (position == 6)
        return IsMorvantelis(variant_type) ? 10 : 8;
    if (position >= 7 && position <= 13) {
        if (IsMorvantelis(variant_type))
            return position <= 10 ? 10 : 16;
        return variant_type == "QXTEST" ? 17 : 16;
    }
    return 8;
}

int MaxRate(int position) {
    const Model* m = At(position);
    return m == nullptr ? 0 : m->max_rate;
}

bool HasTxRxDisplay(int position, std::string_view variant_type) {
    return IsMorvantelis(variant_type) && position >= 6 && position <= 10;
}

bool HasBaseStationOption(int position, std::string_view variant_type) {
    return IsMorvantelis(variant_type) && position == 6;
}

bool HasPowerGroup(int position) {
    return position == 10 || position == 17 || position == 20;
}

bool HasIoGroup(int position) {
    return position == 7 || position == 8;
}

std::string FamilyText(int family_byte, int list_variant) {
    static constexpr std::array kFamilies{"230X", "86X", "87X", "88X", "89X", "240X"};
    if (family_byte % 0x10 != 0 || family_byte < 0x10 || family_byte > 0x60)
        return "";
    return std::string(list_variant == 1 ? "QX" : "") +
           kFamilies[static_cast<std::size_t>(family_byte / 0x10 - 1)];
}

std::string BaseFrequencyText(int code) {
    static constexpr std::array kTexts{"230MHZ", "433MHZ", "490MHZ", "868MHZ", "915MHZ", "2.4GHZ"};
    return code >= 1 && code <= 6 ? kTexts[static_cast<std::size_t>(code - 1)] : "";
}

std::string FirmwareVersionText(int version_byte) {
    const std::string digits = ToHex(static_cast<std::uint32_t>(version_byte), 2);
    return std::string(" V") + digits[0] + "." + digits[1];
}

} // namespace core
