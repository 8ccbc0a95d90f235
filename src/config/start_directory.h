// The window's start directory, where it keeps Config.ini and its session logs.
#pragma once

#include <filesystem>
#include <string>

namespace config {

// The current directory when it holds a Config.ini (in any letter case). Otherwise, for a
// program that runs from a directory it cannot write (an installed one, started from the
// menu), the per-user directory: `xdgConfigHome`/qxtool when that is an absolute path, else
// `home`/.config/qxtool. Otherwise, or with neither, the current directory.
std::filesystem::path StartDirectory(const std::filesystem::path& currentDir,
                                     bool programDirWritable, const std::string& xdgConfigHome,
                                     const std::string& home);

// The rule above for this process, from its environment; a per-user directory that does not
// exist yet is made (the current directory serves when it cannot be).
std::filesystem::path ProcessStartDirectory(const std::filesystem::path& programDir);

} // namespace config
