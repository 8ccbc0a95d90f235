// Interprets a complete answer against the command last sent and updates the window.
#pragma once

#include <QString>
#include <string>

struct Context;

class AnswerHandler {
public:
    explicit AnswerHandler(Context& ctx);

    void HandleAnswer5A5A(const std::string& text);
    void HandleAnswerEDED(const std::string& text);
    // Model list position of a two-character model code, or -1; sets ModuleModelName on a hit.
    int ModelIndexFromCode(const std::string& code);
    // Position of the first base-frequency entry equal to `text`, or -1.
    int FindBaseFrequency(const QString& text) const;

private:
    Context& m_ctx;
};
