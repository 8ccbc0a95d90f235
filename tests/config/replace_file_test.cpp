#include "config/replace_file.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace fs = std::filesystem;

TEST(ReplaceFile, LeftoverTemporariesOfKilledSavesGoAndNothingElse) {
    TempDir dir;
    struct Row {
        const char* name;
        bool removed;
    };
    const Row rows[] = {
        {"Config.ini.0123abcd.tmp", true},
        {"Config.ini.11111111.tmp", false}, // a save another instance is making: locked below
        {"Config.ini.0123ABCD.tmp", false}, // saves write lower-case digits
        {"Config.ini.0123abc.tmp", false},
        {"Config.ini.0123abcde.tmp", false},
        {"Config.ini.0123abcg.tmp", false},
        {"Config.ini.0123abcd.tmp.1", false},
        {"Config.ini.0123abcd.tm", false},
        {"Config.ini.tmp", false},
        {"config.ini.0123abcd.tmp", false},
        {"Other.ini.0123abcd.tmp", false},
        {"Config.ini", false},
    };
    for (const Row& row : rows) {
        WriteBytes(dir.File(row.name), "[COM]\nPort=3\n");
    }
    fs::create_directory(dir.File("Config.ini.00000000.tmp")); // no save makes a directory
    const int saving = open(dir.File("Config.ini.11111111.tmp").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(flock(saving, LOCK_EX | LOCK_NB), 0);

    config::RemoveLeftoverTemporaries(dir.File("Config.ini"));
    close(saving);
    for (const Row& row : rows) {
        EXPECT_EQ(fs::exists(dir.File(row.name)), !row.removed) << row.name;
    }
    EXPECT_TRUE(fs::is_directory(dir.File("Config.ini.00000000.tmp")));

    // Once its save has ended, a temporary is a leftover like any other.
    config::RemoveLeftoverTemporaries(dir.File("Config.ini"));
    EXPECT_FALSE(fs::exists(dir.File("Config.ini.11111111.tmp")));
}
