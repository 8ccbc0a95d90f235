#include "config/config_file.h"
#include "config/start_directory.h"
#include "sync_spy.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace config;

TEST(ConfigFile, DefaultsWithoutAFile) {
    TempDir dir;
    const fs::path file = ConfigPath(dir.Path());
    EXPECT_EQ(file, dir.File("Config.ini"));
    const ConfigValues expected{
        {0, "", "", ""}, {"", "", "CN", 0}, {false, 333, 30, 20, true, 1500}};
    EXPECT_EQ(LoadConfig(file), expected);
    EXPECT_EQ(LoadPortSettings(file), (PortSettings{0, 2, 2}));
    EXPECT_TRUE(LoadPortMap(file).empty());
    EXPECT_TRUE(dir.Names().empty()); // reading never creates the file
}

TEST(ConfigFile, FirstStartSavesTheDefaultPort) {
    TempDir dir;
    const fs::path file = ConfigPath(dir.Path());
    ASSERT_TRUE(SavePortSettings(file, LoadPortSettings(file)));
    EXPECT_EQ(ReadBytes(file), "[COM]\nPort=0\nRate=2\nVerify=2\n");
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"Config.ini"});
}

TEST(ConfigFile, ReadsAnOldWindowsFile) {
    TempDir dir;
    // Every key in other letter case, CRLF, blanks around '=', a ';' comment; the durations
    // 10 and 5000 lie outside their ranges and come out bounded.
    WriteBytes(dir.File("Config.ini"), "[com]\r\nPORT = 4\r\nrate=6\r\nverify=0\r\n"
                                       "; factory settings\r\n"
                                       "[sn]\r\nmodel=3\r\nYEAR=2019\r\nmonth=07\r\nno=00042\r\n"
                                       "[VER]\r\nType = MORVANTELIS\r\nmodel=QX87ID\r\n"
                                       "ceo=EN\r\nqx=1\r\n"
                                       "[OPTION]\r\nframe delay=1\r\ndelay TIME=10\r\n"
                                       "rx timer=5000\r\nrx/tx CONVERSION=15\r\n"
                                       "search before r/w=0\r\ntest delay time=2500\r\n");
    const fs::path file = ConfigPath(dir.Path());
    const ConfigValues expected{{3, "2019", "07", "00042"},
                                {"MORVANTELIS", "QX87ID", "EN", 1},
                                {true, 60, 500, 15, false, 2500}};
    EXPECT_EQ(LoadConfig(file), expected);
    EXPECT_EQ(LoadPortSettings(file), (PortSettings{4, 6, 0}));
}

TEST(ConfigFile, EveryDurationIsBoundedWhenRead) {
    struct Row {
        const char* key;
        const char* text;
        int loaded;
    };
    const Row rows[] = {
        // the pause before the set-all chain's TX test: neither negative nor hours long
        {"Test Delay Time", "-5", 0},
        {"Test Delay Time", "2147483647", 10000},
        {"Test Delay Time", "0", 0},
        {"Test Delay Time", "10000", 10000},
        {"Delay time", "-1", 60},
        {"Delay time", "3001", 3000},
        {"RX timer", "0", 10},
        {"RX timer", "501", 500},
        {"RX/TX conversion", "-2147483648", 10},
        {"RX/TX conversion", "1001", 1000},
        {"Resend time", "-5", 100},
        {"Resend time", "10001", 10000},
        {"Resend time", "100", 100},
    };
    TempDir dir;
    const fs::path file = dir.File("Config.ini");
    for (const Row& r : rows) {
        WriteBytes(file, std::string("[Option]\n") + r.key + "=" + r.text + "\n");
        const OptionValues o = LoadConfig(file).option;
        const std::map<std::string, int> loaded{{"Test Delay Time", o.TestDelayTime},
                                                {"Delay time", o.delayTime},
                                                {"RX timer", o.rxTimer},
                                                {"RX/TX conversion", o.rxTxConversion},
                                                {"Resend time", LoadResendOption(file).ms}};
        EXPECT_EQ(loaded.at(r.key), r.loaded) << r.key << "=" << r.text;
    }
}

TEST(ConfigFile, GarbageValuesFallBackToDefaults) {
    TempDir dir;
    WriteBytes(dir.File("Config.ini"), "[COM]\nPort=COM3\nRate=\nVerify=none\n"
                                       "[SN]\nModel=x\n[Ver]\nQX=one\n"
                                       "[Option]\nFrame delay=yes\nDelay time=fast\n"
                                       "RX timer=-\nRX/TX conversion=99999999999\n"
                                       "Search before R/W=off\nTest Delay Time=\n");
    EXPECT_EQ(LoadConfig(dir.File("Config.ini")), ConfigValues{});
    EXPECT_EQ(LoadPortSettings(dir.File("Config.ini")), PortSettings{});
}

TEST(ConfigFile, SaveOptionsWritesFiveKeysInOrderAndLeavesTheRest) {
    TempDir dir;
    const fs::path file = dir.File("Config.ini");
    WriteBytes(file, "[Ver]\ntype=QXTEST\nCEO=EN\nSecret=kept\n[Option]\nTest Delay Time=2500\n"
                     "[Mine]\n; notes of the operator\nanswer=42\n");
    const OptionValues options{true, 500, 40, 100, false, 9999};
    ASSERT_TRUE(SaveOptions(file, options));
    EXPECT_EQ(ReadBytes(file), "[Ver]\ntype=QXTEST\nCEO=EN\nSecret=kept\n"
                               "[Option]\nTest Delay Time=2500\nDelay time=500\nRX timer=40\n"
                               "RX/TX conversion=100\nFrame delay=1\nSearch before R/W=0\n"
                               "[Mine]\n; notes of the operator\nanswer=42\n");
    EXPECT_EQ(LoadConfig(file).option, (OptionValues{true, 500, 40, 100, false, 2500}));
}

TEST(ConfigFile, SaveKeepsEveryLineOfAHandEditedFileButTheKeysItSets) {
    TempDir dir;
    const fs::path file = dir.File("Config.ini");
    // Repeated sections and keys: the first of repeated keys is the one read, and so the one set.
    WriteBytes(file, "[Option]\nDelay time=100\n; the bench wants it slow\nDelay time=900\n"
                     "[COM]\nPort=1\n; kept apart while testing\n[Option]\nRX timer=10\n");
    ASSERT_TRUE(SaveOptions(file, {true, 500, 40, 100, false, 1500}));
    EXPECT_EQ(ReadBytes(file),
              "[Option]\nDelay time=500\n; the bench wants it slow\nDelay time=900\n"
              "RX/TX conversion=100\nFrame delay=1\nSearch before R/W=0\n"
              "[COM]\nPort=1\n; kept apart while testing\n[Option]\nRX timer=40\n");
    EXPECT_EQ(LoadConfig(file).option, (OptionValues{true, 500, 40, 100, false, 1500}));
}

TEST(ConfigFile, ResendOptionDefaultsOffAndSitsBesideTheOtherOptions) {
    TempDir dir;
    const fs::path file = dir.File("Config.ini");
    EXPECT_EQ(LoadResendOption(file), (ResendOption{false, 1000}));
    WriteBytes(file, "[Option]\nRX timer=40\nResend time=soon\n");
    EXPECT_EQ(LoadResendOption(file), (ResendOption{false, 1000}));
    ASSERT_TRUE(SaveResendOption(file, {true, 250}));
    EXPECT_EQ(ReadBytes(file), "[Option]\nRX timer=40\nResend time=250\nResend=1\n");
    EXPECT_EQ(LoadResendOption(file), (ResendOption{true, 250}));
}

TEST(ConfigFile, SerialNumberFieldsRoundTripInUtf8) {
    TempDir dir;
    const fs::path file = dir.File("Config.ini");
    const SerialNoFields fields{5, "二〇二四", "１２", "编号00012"};
    ASSERT_TRUE(SaveSerialNoFields(file, fields));
    EXPECT_EQ(ReadBytes(file), "[SN]\nModel=5\nYear=二〇二四\nMonth=１２\nNO=编号00012\n");
    EXPECT_EQ(LoadConfig(file).sn, fields);
}

TEST(ConfigFile, AnsiFileReadsWhatItCanAndKeepsItsBytes) {
    TempDir dir;
    const fs::path file = dir.File("Config.ini");
    // "中文" in GBK as the model name, followed by ordinary keys.
    WriteBytes(file, "[Ver]\nModel=\xD6\xD0\xCE\xC4\nCEO=EN\n[COM]\nPort=3\n");
    const std::string replaced = "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD";
    EXPECT_EQ(LoadConfig(file).ver, (VerValues{"", replaced, "EN", 0}));
    EXPECT_EQ(LoadPortSettings(file).port, 3);
    ASSERT_TRUE(SavePortSettings(file, {1, 4, 0}));
    EXPECT_EQ(ReadBytes(file), "[Ver]\nModel=\xD6\xD0\xCE\xC4\nCEO=EN\n"
                               "[COM]\nPort=1\nRate=4\nVerify=0\n");
}

TEST(ConfigFile, FailedSavesAreReportedAndLeaveTheFile) {
    TempDir dir;
    const fs::path file = dir.File("Config.ini");
    WriteBytes(file, "[COM]\nPort=3\n");
    fs::permissions(file, fs::perms::owner_read); // read-only, even for root
    EXPECT_FALSE(SavePortSettings(file, {}));
    EXPECT_FALSE(SaveOptions(file, {}));
    EXPECT_FALSE(SaveSerialNoFields(file, {}));
    EXPECT_EQ(ReadBytes(file), "[COM]\nPort=3\n");
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"Config.ini"}); // no temporary left
    // A line break typed into the serial-number field cannot smuggle in keys of its own; the
    // other fields are still saved.
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_FALSE(SaveSerialNoFields(file, {1, "2024", "05", "1\n[COM]\nPort=9"}));
    EXPECT_EQ(ReadBytes(file), "[COM]\nPort=3\n[SN]\nModel=1\nYear=2024\nMonth=05\n");
}

TEST(ConfigFile, ADiskErrorInASaveLeavesEachGroupOfKeysWhole) {
    const OptionValues oldOptions{false, 100, 20, 30, true, 1500};
    const OptionValues newOptions{true, 500, 40, 100, false, 1500};
    const SerialNoFields oldFields{1, "2023", "01", "00001"};
    const SerialNoFields newFields{2, "2024", "02", "00002"};
    const PortSettings oldPort{1, 2, 0};
    const PortSettings newPort{3, 4, 1};
    // Whichever sync the disk fails, each group holds all its old values or all its new ones.
    for (int goodSyncs = 0; goodSyncs <= 6; ++goodSyncs) {
        TempDir dir;
        const fs::path file = dir.File("Config.ini");
        SaveOptions(file, oldOptions);
        SaveSerialNoFields(file, oldFields);
        SavePortSettings(file, oldPort);
        sync_spy::Reset(goodSyncs);
        SaveOptions(file, newOptions);
        SaveSerialNoFields(file, newFields);
        SavePortSettings(file, newPort);
        sync_spy::Reset();
        const ConfigValues values = LoadConfig(file);
        EXPECT_TRUE(values.option == oldOptions || values.option == newOptions) << goodSyncs;
        EXPECT_TRUE(values.sn == oldFields || values.sn == newFields) << goodSyncs;
        const PortSettings port = LoadPortSettings(file);
        EXPECT_TRUE(port == oldPort || port == newPort) << goodSyncs;
        EXPECT_EQ(dir.Names(), std::vector<std::string>{"Config.ini"}) << goodSyncs;
    }
}

TEST(ConfigFile, PortMapNamesDevicesByPortNumber) {
    TempDir dir;
    const fs::path file = dir.File("Config.ini");
    WriteBytes(file, "[ports]\ncom1=/dev/ttyUSB0\nCOM2=\nCOM12 = /tmp/qx/ttyQX0\nCOM36=/dev/ttyS3\n"
                     "COM37=/dev/ttyS9\nCOM0=/dev/null\nLPT1=/dev/lp0\n");
    const std::map<int, std::string> expected{
        {1, "/dev/ttyUSB0"}, {12, "/tmp/qx/ttyQX0"}, {36, "/dev/ttyS3"}};
    EXPECT_EQ(LoadPortMap(file), expected);
}

TEST(ConfigFile, ConfigPathFindsAFileInOtherLetterCase) {
    TempDir dir;
    WriteBytes(dir.File("CONFIG.INI"), "[COM]\nPort=7\n");
    EXPECT_EQ(ConfigPath(dir.Path()), dir.File("CONFIG.INI"));
    EXPECT_EQ(LoadPortSettings(ConfigPath(dir.Path())).port, 7);
    WriteBytes(dir.File("Config.ini"), "[COM]\nPort=8\n");
    EXPECT_EQ(ConfigPath(dir.Path()), dir.File("Config.ini")); // the exact name comes first
}

TEST(ConfigFile, StartDirectoryIsTheCurrentOneUnlessAnInstalledToolStartsElsewhere) {
    TempDir dir;
    const fs::path here = dir.Path();
    const fs::path user = "/home/op/.config/qxtool";
    // A tool run from a folder it can write (a build) keeps today's rule.
    EXPECT_EQ(StartDirectory(here, true, "", "/home/op"), here);
    // Installed: the per-user directory, XDG_CONFIG_HOME first when it is absolute.
    EXPECT_EQ(StartDirectory(here, false, "", "/home/op"), user);
    EXPECT_EQ(StartDirectory(here, false, "/tmp/xdg", "/home/op"), "/tmp/xdg/qxtool");
    EXPECT_EQ(StartDirectory(here, false, "xdg", "/home/op"), user);
    EXPECT_EQ(StartDirectory(here, false, "", ""), here);
    // A Config.ini in the current directory, in any letter case, wins.
    WriteBytes(dir.File("config.INI"), "[COM]\nPort=7\n");
    EXPECT_EQ(StartDirectory(here, false, "/tmp/xdg", "/home/op"), here);
}
