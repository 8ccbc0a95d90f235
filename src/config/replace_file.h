// Replacing a file's contents so that readers see either the old file or the new one, whole.
#pragma once

#include <filesystem>
#include <string_view>

namespace config {

// Writes `contents` to a new file beside `target`, flushes it to the disk, renames it over
// `target` and syncs the directory so that the rename survives a power cut too. False, with
// `target` unchanged and no new file left behind, when the target is read-only or not a regular
// file, the directory cannot take a new file or the disk is full. A symbolic link is followed, so
// the file it names is replaced and the link stays.
bool ReplaceFileContents(const std::filesystem::path& target, std::string_view contents);

// Removes the temporaries that replaces of `target` cut short by a kill or a power cut left
// behind: regular files named exactly as ReplaceFileContents names them (the file's name, a dot,
// eight lower-case hex digits, ".tmp") that no save holds, and nothing else. A save holds its
// temporary until the rename, so one another instance is writing at this moment stays.
void RemoveLeftoverTemporaries(const std::filesystem::path& target);

} // namespace config
