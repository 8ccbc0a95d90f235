// The few platform services the handlers use, behind interfaces so tests can answer them.
// Texts are UTF-8.
#pragma once

#include <string>

namespace core {

// Modal boxes with one OK button, and the Yes/No question.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual void Warning(const std::string& text) = 0;
    virtual void Error(const std::string& text) = 0;
    // True when the operator answers Yes.
    virtual bool Question(const std::string& text) = 0;
};

// A blocking pause of the user-interface thread.
class Pause {
public:
    virtual ~Pause() = default;
    virtual void Sleep(int ms) = 0;
};

// The shell's "open" of a document or web address; false when it failed.
class Shell {
public:
    virtual ~Shell() = default;
    virtual bool Open(const std::string& target) = 0;
};

// The operator's choice of a file to save to; empty when the choice was cancelled.
class SavePaths {
public:
    virtual ~SavePaths() = default;
    virtual std::string Choose(const std::string& title, const std::string& suggested) = 0;
};

} // namespace core
