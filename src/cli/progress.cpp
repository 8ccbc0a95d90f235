#include "progress.h"

#include "arguments.h"
#include "console.h"

namespace cli {

Progress::Progress(std::vector<std::string> ports, bool shown)
    : m_ports(std::move(ports)), m_states(m_ports.size()), m_shown(shown) {}

Progress::~Progress() {
    End();
}

void Progress::Show(std::size_t index, std::string what) {
    const std::lock_guard lock(m_mutex);
    if (!m_shown || index >= m_states.size())
        return;
    m_states[index] = std::move(what);
    Draw();
}

void Progress::End() {
    const std::lock_guard lock(m_mutex);
    if (m_drawn)
        WriteError(Home() + "\033[J");
    m_shown = false;
    m_drawn = false;
}

// To the start of the first port's line.
std::string Progress::Home() const {
    return m_ports.size() > 1 ? "\r\033[" + std::to_string(m_ports.size() - 1) + "A"
                              : std::string("\r");
}

void Progress::Draw() {
    // a line longer than the terminal wraps, and would no longer be overwritten
    const std::size_t width = ErrorTerminalWidth() - 1;
    std::string text = m_drawn ? Home() : std::string("\r");
    for (std::size_t i = 0; i < m_ports.size(); ++i) {
        const std::string line = m_ports[i] + ": " + m_states[i];
        // each line from its start, whether or not the terminal turns LF into CR LF
        text += "\033[K" + line.substr(0, width) + (i + 1 < m_ports.size() ? "\n\r" : "");
    }
    WriteError(text);
    m_drawn = true;
}

bool ProgressWanted(const Arguments& arguments) {
    return !arguments.quiet && !arguments.trace && ErrorIsTerminal();
}

} // namespace cli
