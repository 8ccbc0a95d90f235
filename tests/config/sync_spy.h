// Every fsync of the test program passes through here: it notes what was synced and can make
// the disk fail, so tests see what a save makes durable and what a failing disk leaves behind.
#pragma once

#include <string>
#include <vector>

namespace sync_spy {

// Forgets what was noted. From now on the first `goodSyncs` syncs succeed and the later ones
// fail as a disk error would; a negative count lets every sync succeed.
void Reset(int goodSyncs = -1);

// The paths of the files and directories synced since the last reset, in order.
std::vector<std::string> Synced();

} // namespace sync_spy
