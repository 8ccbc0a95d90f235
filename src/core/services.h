// The few platform services the handlers use, behind interfaces so tests can answer them.
// Texts are UTF-8.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace core {

// Modal boxes with one OK button, and the Yes/No question.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // What went as asked: a success that deserves a box of its own.
    virtual void Information(const std::string& text) = 0;
    virtual void Warning(const std::string& text) = 0;
    virtual void Error(const std::string& text) = 0;
    // True when the operator answers Yes.
    virtual bool Question(const std::string& text) = 0;
    // The same question in a warning box, for the English form of a question that warns.
    virtual bool WarningQuestion(const std::string& text) = 0;
};

// The file chooser of a save: the path the operator chose, empty when cancelled.
class SaveFileChooser {
public:
    virtual ~SaveFileChooser() = default;
    virtual std::string Choose(const std::string& title, const std::string& suggestedName,
                               const std::string& filter) = 0;
};

// The file chooser of an open: the path of the file the operator chose, empty when cancelled.
class OpenFileChooser {
public:
    virtual ~OpenFileChooser() = default;
    virtual std::string ChooseOpen(const std::string& title, const std::string& filter) = 0;
};

// Work done after a pause, without holding the user-interface thread meanwhile.
class Later {
public:
    using Ticket = std::uint64_t;
    virtual ~Later() = default;
    // Runs `work` once, `ms` from now, on the thread that asked and never before this returns;
    // the ticket cancels it.
    virtual Ticket After(int ms, std::function<void()> work) = 0;
    // Drops the work of `ticket` unless it ran; a spent or unknown ticket is ignored.
    virtual void Cancel(Ticket ticket) = 0;
};

// The shell's "open" of a document or web address; false when it failed.
class Shell {
public:
    virtual ~Shell() = default;
    virtual bool Open(const std::string& target) = 0;
};

} // namespace core
