// The captions, list entries and hints the language changes on the forms, keyed by the
// control's objectName. Chinese is the forms' design text, so a row carries only the other
// languages, except for the few captions whose Chinese depends on the model list.
#pragma once

#include "texts.h"

#include <string>
#include <string_view>
#include <vector>

namespace core {

struct CaptionRow {
    const char* control;
    const char* english;
    const char* german = nullptr;  // null: the English text in German too
    const char* chinese = nullptr; // null: the design text
};

// One list's entries in English; in Chinese the list keeps its design entries.
struct ListRow {
    const char* control;
    std::vector<std::string> english;
};

// Model list 1 is the tool's own brand: it names the QX models and shows the vendor.
inline bool OwnBrand(int modelListVariant) {
    return modelListVariant == 1;
}

// The window caption for the variant and the model list.
TextId WindowCaption(std::string_view variantType, int modelListVariant);

// Every caption of the main window that a language changes, for the model list in use.
std::vector<CaptionRow> MainWindowCaptions(int modelListVariant);
// The main window's hints, and the lists whose entries are replaced in place.
const std::vector<CaptionRow>& MainWindowHints();
const std::vector<ListRow>& MainWindowLists();
// The about box's product, version and vendor texts.
const std::vector<CaptionRow>& AboutBoxCaptions();

} // namespace core
