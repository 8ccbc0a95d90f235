#include "core/captions.h"
#include "core/texts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

using namespace core;

TEST(Texts, LanguageRule) {
    struct Row {
        const char* langCode;
        const char* variant;
        const char* message;       // kReadFail
        const char* caption;       // kOpenButton, which has a German form
        const char* dialogCaption; // kOpenButton
        const char* plainCaption;  // kPortLabel, which has none
        const char* linkMessage;   // kPortOpenFail
    };
    const char* kLinkEnglish =
        "The port open fail,the port NOT exist or other software have used it!";
    const Row rows[] = {
        {"CN", "", "读取失败!", "打开", "打开", "串口", kLinkEnglish},
        {"EN", "", "Read Fail!", "Open", "Open", "COM Port", kLinkEnglish},
        // Captions of the main window test two characters, messages and dialogs the whole code.
        {"ENGLISH", "", "读取失败!", "Open", "打开", "COM Port", kLinkEnglish},
        {"en", "", "读取失败!", "打开", "打开", "串口", kLinkEnglish},
        {"", "", "读取失败!", "打开", "打开", "串口", kLinkEnglish},
        // German replaces English captions only; the link's messages follow the variant alone.
        {"EN", "GERMAN", "Read Fail!", "OEFFNEN", "OEFFNEN", "COM Port", "KEIN PORT GEFUNDEN!"},
        {"CN", "GERMAN", "读取失败!", "打开", "打开", "串口", "KEIN PORT GEFUNDEN!"},
        {"ENGLISH", "GERMAN", "读取失败!", "OEFFNEN", "打开", "COM Port", "KEIN PORT GEFUNDEN!"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.langCode) + "/" + r.variant);
        const TextRule rule(r.langCode, r.variant);
        EXPECT_STREQ(rule.Message(TextId::kReadFail), r.message);
        EXPECT_STREQ(rule.Caption(TextId::kOpenButton), r.caption);
        EXPECT_STREQ(rule.DialogCaption(TextId::kOpenButton), r.dialogCaption);
        EXPECT_STREQ(rule.Caption(TextId::kPortLabel), r.plainCaption);
        EXPECT_STREQ(rule.Message(TextId::kPortOpenFail), r.linkMessage);
        EXPECT_STREQ(SerialLinkText(TextId::kPortOpenFail, r.variant), r.linkMessage);
    }
}

// Every text shows something in every language: a missing form would be an empty box.
TEST(Texts, EveryTextInEveryLanguage) {
    const TextRule chinese("CN", ""), english("EN", ""), german("EN", "GERMAN");
    for (int i = 0; i < static_cast<int>(TextId::kCount); ++i) {
        const auto id = static_cast<TextId>(i);
        SCOPED_TRACE(i);
        for (const TextRule* rule : {&chinese, &english, &german}) {
            ASSERT_NE(rule->Message(id), nullptr);
            EXPECT_NE(std::string(rule->Message(id)), "");
        }
        // Only the serial link's messages lack a Chinese form, and those never show Chinese.
        if (ChineseText(id) == nullptr)
            EXPECT_STREQ(chinese.Message(id), SerialLinkText(id, ""));
        else
            EXPECT_STRNE(chinese.Message(id), english.Message(id));
    }
}

TEST(Texts, KeptVerbatim) {
    const TextRule chinese("CN", ""), english("EN", "");
    EXPECT_STREQ(chinese.Message(TextId::kWriteSerialNumberFail), "设置出厂系列号失败！!");
    EXPECT_STREQ(chinese.Message(TextId::kPowerLevelSet), "功率设置成功,功率值为：");
    EXPECT_STREQ(english.Message(TextId::kAllReadRefused),
                 "Recieved All Parameters Setting Command !");
    EXPECT_STREQ(english.Message(TextId::kPortHardwareFail),
                 "The port open fail，hardware is error!");
}

namespace {

const CaptionRow& RowOf(const std::vector<CaptionRow>& rows, std::string_view control) {
    const auto row = std::find_if(rows.begin(), rows.end(),
                                  [control](const CaptionRow& r) { return r.control == control; });
    EXPECT_NE(row, rows.end()) << control;
    return *row;
}

std::string Shown(const char* text) {
    return text == nullptr ? "(design)" : text;
}

} // namespace

// The forms' captions: the main window tests two characters, the dialogs the whole code;
// German only where English is in force; the model list picks the brand's texts.
TEST(Texts, CaptionRows) {
    struct Row {
        const char* langCode;
        const char* variant;
        int modelList;
        const char* menu;      // N3, which has a German form
        const char* plainMenu; // N2, which has none
        const char* idGroup;   // GroupBox19, named by the model list in every language
        const char* window;
        const char* aboutName; // the about box's Label1
    };
    const char* kEnglish = "DE Doruva(Rizad) idavuvav  V3.06";
    const Row rows[] = {
        {"CN", "", 1, nullptr, nullptr, "电台ID与QX875功率", "Velmora科技radarodedud   V3.06",
         nullptr},
        {"EN", "", 1, "Search Radio", "COM Set", "Radio ID and QX875/885/230C power", kEnglish,
         "VE Rore Dizodo Zurazaro"},
        {"ENGLISH", "", 2, "Search Radio", "COM Set", "Radio ID and 875/885/230C power", kEnglish,
         nullptr},
        {"en", "", 2, nullptr, nullptr, "电台ID与875功率", "radarodedud   V3.06", nullptr},
        {"EN", "GERMAN", 1, "FUNKMODULE SUCHEN", "COM Set", "Radio ID and QX875/885/230C power",
         "ZA ZEDOROZEVO ZODODURU  V3.06", "VE Rore Dizodo Zurazaro"},
        {"CN", "GERMAN", 1, nullptr, nullptr, "电台ID与QX875功率", "Velmora科技radarodedud   V3.06",
         nullptr},
        {"CN", "MORVANTELIS", 1, nullptr, nullptr, "电台ID与QX875功率",
         "Velmora科技radarodedud   V3.06  For  MORVANTELIS", nullptr},
        {"CN", "MORVANTELIS", 0, nullptr, nullptr, "电台ID与875功率", "radarodedud   V3.06",
         nullptr},
        {"EN", "MORVANTELIS", 1, "Search Radio", "COM Set", "Radio ID and QX875/885/230C power",
         kEnglish, "VE Rore Dizodo Zurazaro"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.langCode) + "/" + r.variant + "/" + std::to_string(r.modelList));
        const TextRule rule(r.langCode, r.variant);
        const std::vector<CaptionRow> captions = MainWindowCaptions(r.modelList);
        EXPECT_EQ(Shown(rule.Caption(RowOf(captions, "N3"))), Shown(r.menu));
        EXPECT_EQ(Shown(rule.Caption(RowOf(captions, "N2"))), Shown(r.plainMenu));
        EXPECT_EQ(Shown(rule.Caption(RowOf(captions, "GroupBox19"))), Shown(r.idGroup));
        EXPECT_STREQ(rule.Caption(WindowCaption(r.variant, r.modelList)), r.window);
        EXPECT_EQ(Shown(rule.DialogCaption(RowOf(AboutBoxCaptions(), "Label1"))),
                  Shown(r.aboutName));
    }
}

// A control named twice would take whichever row comes last.
TEST(Texts, OneRowPerControl) {
    for (int modelList : {0, 1}) {
        std::set<std::string> seen;
        for (const CaptionRow& row : MainWindowCaptions(modelList))
            EXPECT_TRUE(seen.insert(row.control).second) << row.control;
    }
}
