#pragma once

#include "support/Prompts.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QVariantMap>
#include <deque>

namespace quorvale::test {

// Prompts for tests: answers from a script and remembers everything it was
// asked. An Ok-only message needs no scripted answer; any other question, or a
// dialog, asked without one fails the test (and gets Cancel / No / false).
class ScriptedPrompts : public Prompts {
public:
    struct Message {
        QString title;
        QString text;
        PromptButtons buttons;
        PromptIcon icon;
    };
    struct Dialog {
        QString name;
        QVariantMap valuesIn;
    };

    // The next message box answers with `result`.
    void answer(PromptResult result) { m_answers.push_back(result); }
    // Every question with this title, from now on, answers with `result`
    // (ahead of the script): for a question a person answers the same way
    // each time, such as saving a TimeCard on closing.
    void answerAlways(const QString &title, PromptResult result) { m_standing[title] = result; }
    // The next dialog is accepted (with `values` merged into its values) or cancelled.
    void answerDialog(bool accepted, const QVariantMap &values = {})
    {
        m_dialogAnswers.push_back({accepted, values});
    }

    PromptResult messageBox(const QString &title, const QString &text, PromptButtons buttons,
                            PromptIcon icon) override;
    bool showDialog(const QString &name, QVariantMap &values) override;

    const QList<Message> &messages() const { return m_messages; }
    const QList<Dialog> &dialogs() const { return m_dialogs; }
    // Answers scripted but never asked for.
    std::size_t unusedAnswers() const { return m_answers.size() + m_dialogAnswers.size(); }

private:
    struct DialogAnswer {
        bool accepted;
        QVariantMap values;
    };
    std::deque<PromptResult> m_answers;
    QMap<QString, PromptResult> m_standing;
    std::deque<DialogAnswer> m_dialogAnswers;
    QList<Message> m_messages;
    QList<Dialog> m_dialogs;
};

} // namespace quorvale::test
