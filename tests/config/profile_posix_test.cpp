// What a save does on a POSIX system beyond the file: the permissions of its directory, the
// syncs that put it on the disk, the link that names it.
#include "config/profile.h"
#include "sync_spy.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <functional>

#include <linux/capability.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using config::Profile;

namespace {

// Runs `body` in a child process without the capabilities that let root write where the
// permissions say no, so permission tests mean the same for root (as in CI) and other users.
int ExitCodeWithoutPermissionOverrides(const std::function<int()>& body) {
    const pid_t child = fork();
    if (child == 0) {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
        if (syscall(SYS_capget, &header, data) != 0) {
            std::_Exit(2);
        }
        const auto overrides = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);
        data[0].effective &= ~overrides;
        data[0].permitted &= ~overrides;
        if (syscall(SYS_capset, &header, data) != 0) {
            std::_Exit(2);
        }
        std::_Exit(body());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

TEST(Profile, DirectoryThatTakesNoFileFailsTheWrite) {
    TempDir dir;
    WriteBytes(dir.File("Config.ini"), "[COM]\nPort=3\n");
    fs::permissions(dir.Path(), fs::perms::owner_read | fs::perms::owner_exec);
    // The file itself stays writable: only the directory refuses the temporary.
    const int code = ExitCodeWithoutPermissionOverrides(
        [&] { return Profile(dir.File("Config.ini")).WriteInteger("COM", "Port", 4) ? 1 : 0; });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(ReadBytes(dir.File("Config.ini")), "[COM]\nPort=3\n");
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"Config.ini"});
}

TEST(Profile, WriteSyncsTheNewFileAndThenTheDirectoryThatNamesIt) {
    TempDir dir;
    sync_spy::Reset();
    ASSERT_TRUE(Profile(dir.File("Config.ini")).WriteInteger("COM", "Port", 4));
    const std::string folder = fs::canonical(dir.Path()).string();
    const auto synced = sync_spy::Synced();
    ASSERT_EQ(synced.size(), 2u);
    EXPECT_TRUE(synced[0].starts_with(folder + "/Config.ini.")) << synced[0];
    EXPECT_EQ(synced[1], folder);
}

TEST(Profile, WriteReplacesTheFileALinkNamesAndKeepsItsMode) {
    TempDir dir;
    fs::create_directory(dir.File("real"));
    const fs::path target = dir.File("real") / "shared.ini";
    WriteBytes(target, "[COM]\nPort=3\n");
    const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(target, mode);
    fs::create_symlink(target, dir.File("Config.ini"));
    ASSERT_TRUE(Profile(dir.File("Config.ini")).WriteInteger("COM", "Port", 4));
    EXPECT_TRUE(fs::is_symlink(dir.File("Config.ini")));
    EXPECT_EQ(ReadBytes(target), "[COM]\nPort=4\n");
    EXPECT_EQ(fs::status(target).permissions(), mode);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.File("real")), fs::directory_iterator()), 1);
}
