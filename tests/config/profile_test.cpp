#include "config/module_profile.h"
#include "config/profile.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

namespace fs = std::filesystem;
using config::Profile;

namespace {

// Written by hand on Windows: CRLF, names in other letter case, blanks around '=', comments,
// a quoted value, a repeated key and a key before any section.
const std::string kWindowsFile = "loose=1\r\n"
                                 "; settings of the test bench\r\n"
                                 "[com]\r\n"
                                 "  PORT = 3 \r\n"
                                 "rate=4\r\n"
                                 "\r\n"
                                 "[ VER ]\r\n"
                                 "; customer build\r\n"
                                 "TYPE = QXTEST\r\n"
                                 "ceo=\"EN\"\r\n"
                                 "ceo=CN\r\n"
                                 "[option]\r\n"
                                 "frame DELAY= 1\r\n";

bool HasTemporary(const TempDir& dir) {
    const auto names = dir.Names();
    return std::ranges::any_of(names, [](const std::string& n) { return n != "Config.ini"; });
}

} // namespace

TEST(Profile, ReadsAWindowsStyleFile) {
    TempDir dir;
    WriteBytes(dir.File("Config.ini"), kWindowsFile);
    const Profile ini(dir.File("Config.ini"));
    EXPECT_EQ(ini.ReadInteger("COM", "Port", 0), 3);
    EXPECT_EQ(ini.ReadInteger("Com", "RATE", 0), 4);
    EXPECT_EQ(ini.ReadString("Ver", "type", ""), "QXTEST");
    EXPECT_EQ(ini.ReadString("Ver", "CEO", ""), "EN"); // quotes stripped, first of two wins
    EXPECT_TRUE(ini.ReadBool("Option", "Frame delay", false));
    EXPECT_EQ(ini.ReadInteger("", "loose", 0), 1);
    EXPECT_EQ(ini.ReadInteger("COM", "Verify", 2), 2); // missing key
    EXPECT_EQ(ini.ReadString("Nope", "Port", "fallback"), "fallback");
}

TEST(Profile, MissingOrUnreadableFileGivesFallbacks) {
    TempDir dir;
    fs::create_directory(dir.File("Config.ini")); // a directory where the file should be
    WriteBytes(dir.File("big.ini"), "[COM]\nPort=3\n" + std::string(2 << 20, ';'));
    for (const char* name : {"absent.ini", "Config.ini", "big.ini"}) {
        const Profile ini(dir.File(name));
        EXPECT_EQ(ini.ReadInteger("COM", "Port", 7), 7) << name;
        EXPECT_EQ(ini.ReadString("COM", "Port", "x"), "x") << name;
    }
}

TEST(Profile, BooleansAreAnyNonZeroInteger) {
    TempDir dir;
    WriteBytes(dir.File("Config.ini"), "[O]\nzero=0\none=1\nminus=-1\nbig=77\nword=yes\nempty=\n");
    const Profile ini(dir.File("Config.ini"));
    // key, value with fallback false, value with fallback true: text that is no number falls back
    const std::tuple<const char*, bool, bool> rows[] = {
        {"zero", false, false}, {"one", true, true},   {"minus", true, true},
        {"big", true, true},    {"word", false, true}, {"empty", false, true}};
    for (const auto& [key, withFalse, withTrue] : rows) {
        EXPECT_EQ(ini.ReadBool("O", key, false), withFalse) << key;
        EXPECT_EQ(ini.ReadBool("O", key, true), withTrue) << key;
    }
}

TEST(Profile, WriteKeepsEverythingElseAndTheLineEndings) {
    TempDir dir;
    WriteBytes(dir.File("Config.ini"), kWindowsFile + "; last words\r\n;Verify=1\r\n");
    const Profile ini(dir.File("Config.ini"));
    ASSERT_TRUE(ini.WriteInteger("COM", "Port", 5));
    ASSERT_TRUE(ini.WriteString("Option", "Delay time", "333"));
    ASSERT_TRUE(ini.WriteString("Extra", "RX/TX conversion", "20"));
    // The existing key takes the new spelling and value in its own line; new keys go after the
    // last key of their section, new sections to the end; every other line stays as it was.
    const std::string written = ReadBytes(dir.File("Config.ini"));
    EXPECT_EQ(written, "loose=1\r\n; settings of the test bench\r\n"
                       "[com]\r\nPort=5\r\nrate=4\r\n\r\n"
                       "[ VER ]\r\n; customer build\r\nTYPE = QXTEST\r\nceo=\"EN\"\r\nceo=CN\r\n"
                       "[option]\r\nframe DELAY= 1\r\nDelay time=333\r\n"
                       "; last words\r\n;Verify=1\r\n"
                       "[Extra]\r\nRX/TX conversion=20\r\n");
    EXPECT_EQ(ini.ReadString("VER", "CEO", ""), "EN");
    // Saving the same values again changes nothing: the file does not grow from run to run.
    ASSERT_TRUE(ini.WriteInteger("COM", "Port", 5));
    ASSERT_TRUE(ini.WriteString("Extra", "RX/TX conversion", "20"));
    EXPECT_EQ(ReadBytes(dir.File("Config.ini")), written);
}

TEST(Profile, WriteKeepsTheByteOrderMarkAndCommentOnlyFiles) {
    TempDir dir;
    const Profile ini(dir.File("Config.ini"));
    WriteBytes(dir.File("Config.ini"), "\xEF\xBB\xBF[SN]\nNO=00012\n");
    ASSERT_TRUE(ini.WriteString("SN", "Year", "2024"));
    EXPECT_EQ(ReadBytes(dir.File("Config.ini")), "\xEF\xBB\xBF[SN]\nNO=00012\nYear=2024\n");

    WriteBytes(dir.File("Config.ini"), "; one\n\n; two");
    ASSERT_TRUE(ini.WriteInteger("COM", "Port", 1));
    EXPECT_EQ(ReadBytes(dir.File("Config.ini")), "; one\n\n; two\n[COM]\nPort=1\n");
}

TEST(Profile, ValuesWithBlanksOrQuotesRoundTrip) {
    TempDir dir;
    const Profile ini(dir.File("Config.ini"));
    ASSERT_TRUE(ini.WriteString("SN", "NO", " 12 "));
    EXPECT_EQ(ReadBytes(dir.File("Config.ini")), "[SN]\nNO=\" 12 \"\n");
    EXPECT_EQ(ini.ReadString("SN", "NO", ""), " 12 ");
    // Quotes of the value's own keep theirs, since a reader takes one pair off.
    ASSERT_TRUE(ini.WriteString("SN", "NO", "\"12\""));
    EXPECT_EQ(ini.ReadString("SN", "NO", ""), "\"12\"");
}

TEST(Profile, RefusesRewritesThatWouldLoseOrCorruptContent) {
    struct Row {
        const char* why;
        std::string file;
        std::string value;
    };
    const Row rows[] = {
        {"line break in the value would start a new key", "[SN]\nNO=1\n", "1\n[COM]\nPort=9"},
        {"carriage return in the value", "[SN]\nNO=1\n", "1\rPort=9"},
        {"zero byte in the value", "[SN]\nNO=1\n",
         std::string("1\0"
                     "2",
                     3)},
        {"line that is no key, section or comment", "[SN]\nNO=1\nstray text\n", "2"},
        {"text after a section name", "[SN] ; serial\nNO=1\n", "2"},
        {"section without closing bracket", "[SN\nNO=1\n", "2"},
        {"empty section name", "[]\nNO=1\n", "2"},
        {"key line without a key", "[SN]\n=1\n", "2"},
        {"zero byte in the file", std::string("[SN]\nNO=1\n\0junk\n", 16), "2"},
        {"file too large to be a Config.ini", "[SN]\nNO=1\n" + std::string(2 << 20, ';'), "2"},
    };
    for (const Row& row : rows) {
        TempDir dir;
        WriteBytes(dir.File("Config.ini"), row.file);
        const Profile ini(dir.File("Config.ini"));
        EXPECT_FALSE(ini.WriteString("SN", "NO", row.value)) << row.why;
        EXPECT_EQ(ReadBytes(dir.File("Config.ini")), row.file) << row.why;
        EXPECT_FALSE(HasTemporary(dir)) << row.why;
    }
}

TEST(Profile, ReadsWhatItCanOfAFileItWillNotRewrite) {
    TempDir dir;
    WriteBytes(dir.File("Config.ini"), std::string("[COM]\nstray\nPort=3\n\0[SN]\nNO=9\n", 27));
    const Profile ini(dir.File("Config.ini"));
    EXPECT_EQ(ini.ReadInteger("COM", "Port", 0), 3);
    EXPECT_EQ(ini.ReadString("SN", "NO", "none"), "none"); // after the zero byte
}

TEST(Profile, MissingDirectoryOrFileInThePathFailsTheWrite) {
    TempDir dir;
    WriteBytes(dir.File("plain"), "not a directory");
    EXPECT_FALSE(Profile(dir.File("plain") / "Config.ini").WriteInteger("COM", "Port", 4));
    EXPECT_FALSE(Profile(dir.File("gone") / "Config.ini").WriteInteger("COM", "Port", 4));
    fs::create_directory(dir.File("Config.ini"));
    EXPECT_FALSE(Profile(dir.File("Config.ini")).WriteInteger("COM", "Port", 4));
    EXPECT_TRUE(fs::is_directory(dir.File("Config.ini")));
    EXPECT_EQ(ReadBytes(dir.File("plain")), "not a directory");
    EXPECT_EQ(dir.Names().size(), 2u);
}

// A profile is read line by line once, and the check and the values come from that one reading:
// a CR alone ends a line as LF and CR LF do, and a zero byte is refused where it stands rather
// than ending the text there.
TEST(ModuleProfile, OneReadingOfTheLinesForTheCheckAndTheValues) {
    struct Row {
        std::string text;
        std::string result; // the channel read, or the reason the profile is refused
    };
    const std::string model = "[module]\nmodel=QX871\n";
    const Row rows[] = {
        {model + "[settings]\nchannel=3\n", "3"},
        {"[module]\r\nmodel=QX871\r\n[settings]\r\nchannel = 4 \r\n", "4"},
        {"[module]\rmodel=QX871\r[settings]\rchannel=5", "5"},
        {model + "[settings]\nchannel=3\rchannel=4\rbogus=1\n", "p:5: channel is given twice"},
        {model + "[settings]\nchannel=3\r\rbogus=1\n", "p:6: unknown setting bogus"},
        {model + "[settings]\nchannel=3" + std::string(1, '\0') + "\nchannel=4\n",
         "p:4: holds the control byte 0x00; a profile is plain text"},
        {model + "[settings]\n\x1B[2Jchannel=3\n",
         "p:4: holds the control byte 0x1B; a profile is plain text"},
        {model + "[settings]\nchan\xFFnel=3\n", "p:4: unknown setting chan\xEF\xBF\xBDnel"},
    };
    for (const Row& row : rows) {
        const auto parsed = config::ParseModuleProfile(row.text, "p");
        const auto* profile = std::get_if<config::ModuleProfile>(&parsed);
        const std::string result =
            profile ? std::to_string(profile->settings.at(core::Setting::kChannel))
                    : std::get<std::string>(parsed).substr(0, row.result.size());
        EXPECT_EQ(result, row.result) << row.text;
    }
}
