#include "testsupport/ScriptedPrompts.h"

#include <gtest/gtest.h>

namespace quorvale::test {

namespace {

bool offers(PromptButtons buttons, PromptResult result)
{
    switch (buttons) {
    case PromptButtons::Ok:
        return result == PromptResult::Ok;
    case PromptButtons::OkCancel:
        return result == PromptResult::Ok || result == PromptResult::Cancel;
    case PromptButtons::RetryCancel:
        return result == PromptResult::Retry || result == PromptResult::Cancel;
    case PromptButtons::YesNo:
        return result == PromptResult::Yes || result == PromptResult::No;
    case PromptButtons::YesNoCancel:
        return result == PromptResult::Yes || result == PromptResult::No ||
               result == PromptResult::Cancel;
    }
    return false;
}

// What closing the box without a choice gives.
PromptResult dismissed(PromptButtons buttons)
{
    switch (buttons) {
    case PromptButtons::Ok:
        return PromptResult::Ok;
    case PromptButtons::YesNo:
        return PromptResult::No;
    default:
        return PromptResult::Cancel;
    }
}

} // namespace

PromptResult ScriptedPrompts::messageBox(const QString &title, const QString &text,
                                         PromptButtons buttons, PromptIcon icon)
{
    m_messages.append({title, text, buttons, icon});
    if (const auto standing = m_standing.constFind(title); standing != m_standing.constEnd())
        return *standing;
    if (m_answers.empty()) {
        if (buttons != PromptButtons::Ok)
            ADD_FAILURE() << "unscripted question: " << title.toStdString() << ": "
                          << text.toStdString();
        return dismissed(buttons);
    }
    const PromptResult result = m_answers.front();
    m_answers.pop_front();
    if (!offers(buttons, result)) {
        ADD_FAILURE() << "scripted answer is not a button of: " << title.toStdString();
        return dismissed(buttons);
    }
    return result;
}

bool ScriptedPrompts::showDialog(const QString &name, QVariantMap &values)
{
    m_dialogs.append({name, values});
    if (m_dialogAnswers.empty()) {
        ADD_FAILURE() << "unscripted dialog: " << name.toStdString();
        return false;
    }
    const DialogAnswer answer = m_dialogAnswers.front();
    m_dialogAnswers.pop_front();
    if (answer.accepted)
        values.insert(answer.values);
    return answer.accepted;
}

} // namespace quorvale::test
