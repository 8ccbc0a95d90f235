#include "app/config/replace_file.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>

namespace fs = std::filesystem;

TEST(ReplaceFile, LeftoverTemporariesOfKilledSavesGoAndNothingElse) {
    TempDir dir;
    const auto now = fs::file_time_type::clock::now();
    const auto old = now - std::chrono::hours(1);
    struct Row {
        const char* name;
        fs::file_time_type written;
        bool removed;
    };
    const Row rows[] = {
        {"Config.ini.0123abcd.tmp", old, true},
        {"Config.ini.ffffffff.tmp", now + std::chrono::hours(1), true}, // clock set back since
        {"Config.ini.11111111.tmp", now, false}, // a save another instance is making
        {"Config.ini.0123ABCD.tmp", old, false}, // saves write lower-case digits
        {"Config.ini.0123abc.tmp", old, false},
        {"Config.ini.0123abcde.tmp", old, false},
        {"Config.ini.0123abcg.tmp", old, false},
        {"Config.ini.0123abcd.tmp.1", old, false},
        {"Config.ini.0123abcd.tm", old, false},
        {"Config.ini.tmp", old, false},
        {"config.ini.0123abcd.tmp", old, false},
        {"Other.ini.0123abcd.tmp", old, false},
        {"Config.ini", old, false},
    };
    for (const Row& row : rows) {
        WriteBytes(dir.File(row.name), "[COM]\nPort=3\n");
        fs::last_write_time(dir.File(row.name), row.written);
    }
    fs::create_directory(dir.File("Config.ini.00000000.tmp")); // no save makes a directory
    fs::last_write_time(dir.File("Config.ini.00000000.tmp"), old);

    config::RemoveLeftoverTemporaries(dir.File("Config.ini"), now);
    for (const Row& row : rows) {
        EXPECT_EQ(fs::exists(dir.File(row.name)), !row.removed) << row.name;
    }
    EXPECT_TRUE(fs::is_directory(dir.File("Config.ini.00000000.tmp")));
}
