// What qxcli is doing while it works, on standard error: the port, the search step and the line
// tried, the write step. Only on a terminal (a script or a log gets none of it) and not with
// --quiet: a line per port rewritten in place, cleared before the results.
#pragma once

#include <mutex>
#include <string>
#include <vector>

namespace cli {

class Progress {
public:
    // Nothing is shown when `shown` is false.
    Progress(std::vector<std::string> ports, bool shown);
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    // Port `index` is now at `what`. Safe from any thread.
    void Show(std::size_t index, std::string what);
    // Clears the line; Show draws nothing after it.
    void End();

private:
    void Draw();
    std::string Home() const;

    std::mutex m_mutex;
    std::vector<std::string> m_ports;
    std::vector<std::string> m_states;
    bool m_shown;
    bool m_drawn = false;
};

struct Arguments;

// Whether progress belongs on standard error: it is a terminal, and neither --quiet nor
// --trace (whose lines the progress would overwrite) was given.
bool ProgressWanted(const Arguments& arguments);

} // namespace cli
