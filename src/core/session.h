// The tool's state apart from its widgets: one instance, owned by the main window and handed by
// reference to the subsystems that use it. Members keep the names the handlers use in their
// descriptions.
#pragma once

#include "line_settings.h"
#include "pair_test.h"
#include "search_walk.h"
#include "texts.h"

#include <array>
#include <chrono>
#include <string>
#include <string_view>

namespace core {

enum AppStateValue : int {
    StateStopped = 0,
    StateCommand = 1,
    StatePairReply = 3,
    StatePairTimed = 4,
    StateDataComm = 5,
};

// List positions and the frequency text saved before a serial-number read or a write-all.
struct SelectionsSnapshot {
    int channel = -1;
    int airRate = -1;
    int serialRate = -1;
    int parity = -1;
    std::string frequency;
};

// The variant whose modules answer in EDED framing.
inline bool IsMorvantelis(std::string_view variantType) {
    return variantType == "MORVANTELIS";
}

struct Session {
    // Config.ini, section Ver (never written) and Test Delay Time.
    std::string StartDir;
    std::string VariantType;
    std::string LangCode = "CN";
    std::string VerModel;
    int ModelListVariant = 0;
    int TestDelayTime = 1000; // until Config.ini has been read

    // Operation state.
    int AppState = StateCommand;
    std::string LastCommand;
    std::string SequenceMode;
    bool ChainSetAll = false;

    // The port in use and its line settings as last set by an open; the open flag of each
    // entry of the port list.
    LineSettings Line;
    std::array<bool, 36> PortOpenFlags{};

    // Receive loop.
    int FrameDelayMs = 300;
    bool PollSuspended = false;
    bool DataPending = false;

    // Module identity.
    bool ModuleFound = false;
    bool AutoSnRead = false;
    std::string ModuleFamily;
    std::string ModuleModelName;
    std::string ModuleBaseFrequency;
    int ModuleModelIndex = -1;
    int PreviousModelIndex = -1;
    SelectionsSnapshot SavedSelections;
    int SavedBaseFrequencyIndex = -1;
    std::array<std::string, 20> ChannelFrequencyTable{};

    // Radio search.
    SearchWalk Search;

    // Pair transfer test.
    std::string LastSentData;
    bool TestStopFlag = false;
    PairTally Tally;

    bool Morvantelis() const { return IsMorvantelis(VariantType); }
    // The language rule as the configuration stands now.
    TextRule Texts() const { return {LangCode, VariantType}; }
    // A message or status text in the operator's language (UTF-8).
    const char* Message(TextId id) const { return Texts().Message(id); }
};

} // namespace core
