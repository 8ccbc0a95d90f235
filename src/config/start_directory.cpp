#include "start_directory.h"

#include "config_file.h"

#include <cstdlib>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace config {

fs::path StartDirectory(const fs::path& currentDir, bool programDirWritable,
                        const std::string& xdgConfigHome, const std::string& home) {
    std::error_code error;
    if (programDirWritable || fs::exists(ConfigPath(currentDir), error))
        return currentDir;
    // A relative XDG_CONFIG_HOME is invalid and ignored, as the base directory rules say.
    if (fs::path(xdgConfigHome).is_absolute())
        return fs::path(xdgConfigHome) / "qxtool";
    if (!home.empty())
        return fs::path(home) / ".config" / "qxtool";
    return currentDir;
}

fs::path ProcessStartDirectory(const fs::path& programDir) {
    const auto variable = [](const char* name) {
        const char* value = std::getenv(name);
        return std::string(value == nullptr ? "" : value);
    };
    const fs::path current = fs::current_path();
#ifdef _WIN32
    // A program installed under Program Files keeps its settings in the user's roaming
    // application data, which stands where the XDG folder stands on Linux.
    const fs::path dir =
        StartDirectory(current, _waccess(programDir.c_str(), 2) == 0, variable("APPDATA"), "");
#else
    const fs::path dir = StartDirectory(current, access(programDir.c_str(), W_OK) == 0,
                                        variable("XDG_CONFIG_HOME"), variable("HOME"));
#endif
    std::error_code error;
    fs::create_directories(dir, error);
    return error ? current : dir;
}

} // namespace config
