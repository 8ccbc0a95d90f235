#include "core/module/module_state_file.h"

#include <gtest/gtest.h>

using namespace core;

TEST(ModuleStateFile, WhatIsWrittenIsReadBack) {
    ModuleState first;
    first.model = 0x45;
    first.number = 258;
    first.parity = 2;
    ModuleState second;
    second.channel = 7;
    second.id = 300;
    const std::vector<ModuleState> modules{first, second};
    const std::string text = FormatStateFile(modules);
    EXPECT_NE(text.find("[module 1]\n"), std::string::npos);
    EXPECT_NE(text.find("model=0x45\n"), std::string::npos);
    EXPECT_NE(text.find("number=258\n"), std::string::npos);
    const StateFileContents read = ParseStateFile(text, ModuleState{});
    EXPECT_EQ(read.error, "");
    EXPECT_EQ(read.modules, modules);
}

TEST(ModuleStateFile, MissingKeysKeepTheDefaults) {
    ModuleState defaults;
    defaults.channel = 9;
    const StateFileContents read =
        ParseStateFile("# saved\n\n[module 0]\n id = 0x12C \r\n[module 1]\n", defaults);
    ASSERT_EQ(read.error, "");
    ASSERT_EQ(read.modules.size(), 2u);
    EXPECT_EQ(read.modules[0].id, 300);
    EXPECT_EQ(read.modules[0].channel, 9);
    EXPECT_EQ(read.modules[1], defaults);
}

TEST(ModuleStateFile, DamagedFilesAreRefusedWithTheLine) {
    struct Row {
        const char* text;
        const char* error;
    };
    const Row rows[] = {
        {"channel=3\n", "line 1: a setting before the first [module 0]"},
        {"[module 1]\n", "line 1: expected [module 0]"},
        {"[module 0]\n[module 0]\n", "line 2: expected [module 1]"},
        {"[module 0]\ncolour=red\n", "line 2: unknown key \"colour\""},
        {"[module 0]\nparity=3\n", "line 2: parity must be 0 to 2"},
        {"[module 0]\nchannel=-1\n", "line 2: channel must be 1 to 255"},
        {"[module 0]\nchannel=12abc\n", "line 2: channel must be 1 to 255"},
        {"[module 0]\nchannel\n", "line 2: not a key=value line"},
        {"\x7f"
         "ELF\x01\x01",
         "line 1: a setting before the first [module 0]"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        const StateFileContents read = ParseStateFile(row.text, ModuleState{});
        EXPECT_EQ(read.error, row.error);
        EXPECT_TRUE(read.modules.empty());
    }
}

TEST(ModuleStateFile, SettingValues) {
    EXPECT_EQ(ParseSettingValue("12"), 12);
    EXPECT_EQ(ParseSettingValue("0x1f"), 31);
    EXPECT_EQ(ParseSettingValue(""), std::nullopt);
    EXPECT_EQ(ParseSettingValue("0x"), std::nullopt);
    EXPECT_EQ(ParseSettingValue("+3"), std::nullopt);
    EXPECT_EQ(ParseSettingValue("99999999999"), std::nullopt);
    ModuleState state;
    EXPECT_FALSE(StoreSetting(state, &ModuleState::serial_rate, 9));
    EXPECT_EQ(state.serial_rate, 5);
    EXPECT_TRUE(StoreSetting(state, &ModuleState::serial_rate, 8));
    EXPECT_EQ(state.serial_rate, 8);
}
