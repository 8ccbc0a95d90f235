#include "answer_handler.h"

#include "app/context.h"

AnswerHandler::AnswerHandler(Context& ctx) : m_ctx(ctx) {}

void AnswerHandler::HandleAnswer5A5A(const std::string&) {}

void AnswerHandler::HandleAnswerEDED(const std::string&) {}

int AnswerHandler::ModelIndexFromCode(const std::string&) {
    return -1;
}

int AnswerHandler::FindBaseFrequency(const QString&) const {
    return -1;
}
