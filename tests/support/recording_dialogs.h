// Dialogs that record what would have been shown and answer questions from a script.
#pragma once

#include "core/services.h"

#include <deque>
#include <ostream>
#include <string>
#include <vector>

struct Shown {
    enum Kind { Information, Warning, Error, Question, WarningQuestion } kind;
    std::string text;
    bool operator==(const Shown&) const = default;
};

// How a failed expectation prints a box: its kind and text.
inline std::ostream& operator<<(std::ostream& out, const Shown& box) {
    static const char* const kKinds[] = {"Information", "Warning", "Error", "Question",
                                         "WarningQuestion"};
    return out << kKinds[box.kind] << " \"" << box.text << '"';
}

class RecordingDialogs : public core::Dialogs {
public:
    std::vector<Shown> shown;
    std::deque<bool> answers; // next Yes/No answers; No when empty

    void Information(const std::string& text) override {
        shown.push_back({Shown::Information, text});
    }
    void Warning(const std::string& text) override { shown.push_back({Shown::Warning, text}); }
    void Error(const std::string& text) override { shown.push_back({Shown::Error, text}); }
    bool Question(const std::string& text) override { return Ask(Shown::Question, text); }
    bool WarningQuestion(const std::string& text) override {
        return Ask(Shown::WarningQuestion, text);
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> out;
        for (const auto& s : shown)
            out.push_back(s.text);
        return out;
    }

private:
    bool Ask(Shown::Kind kind, const std::string& text) {
        shown.push_back({kind, text});
        if (answers.empty())
            return false;
        const bool yes = answers.front();
        answers.pop_front();
        return yes;
    }
};
