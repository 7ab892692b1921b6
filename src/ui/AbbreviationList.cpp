#include "ui/AbbreviationList.h"

#include "support/Prompts.h"
#include "ui/frmAbbreviations.h"

#include <QPlainTextEdit>
#include <QTextCursor>

namespace quorvale {

AbbreviationList::AbbreviationList(db::Connection &local, db::Connection &link, Prompts &prompts,
                                   const Clock &clock, Activities activities, Terms terms,
                                   QWidget *parent)
    : QComboBox(parent), m_local(local), m_link(link), m_prompts(prompts), m_clock(clock),
      m_activities(std::move(activities)), m_terms(std::move(terms))
{
    setObjectName(QStringLiteral("cboAbbreviations"));
    setAccessibleName(tr("Abbreviations"));
    setSizeAdjustPolicy(QComboBox::AdjustToContents);
}

void AbbreviationList::fill()
{
    clear();
    addItems(FillAbbreviationList(m_local));
    setCurrentIndex(-1);
}

bool AbbreviationList::insertSelected(QPlainTextEdit *target)
{
    if (currentIndex() < 0) {
        m_prompts.messageBox(QLatin1String(AbbreviationTexts::Caption),
                             QLatin1String(AbbreviationTexts::NoneSelected));
        return false;
    }
    const std::optional<QString> text = AbbreviationText(m_local, currentText());
    setCurrentIndex(-1);
    // A locked TimeCard's fields are read-only; the cursor would write past that.
    if (!text || !target || target->isReadOnly())
        return false;

    const KeyPhraseContext context{m_clock, m_link,
                                   m_activities ? m_activities() : TimeCardActivities{}};
    QTextCursor cursor = target->textCursor();
    cursor.insertText(ExpandKeyPhrase(*text, context));
    target->setTextCursor(cursor);
    return true;
}

void AbbreviationList::edit()
{
    {
        frmAbbreviations dialog(m_local, m_prompts, m_terms, window());
        dialog.exec();
    }
    fill();
}

} // namespace quorvale
