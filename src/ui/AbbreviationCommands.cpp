#include "AbbreviationCommands.h"

#include "data/DataStore.h"
#include "data/WorkingSet.h"
#include "platform/core/QvError.h"
#include "settings/AdminSettings.h"
#include "timecards/CommandTable.h"
#include "ui/AbbreviationList.h"
#include "ui/AbbreviationTarget.h"
#include "ui/frmTimeCard.h"

#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>
#include <QToolBar>

namespace quorvale {

AbbreviationCommands::AbbreviationCommands(frmTimeCard &window, DataStore &store,
                                           const AdminOptions &options, WorkingSet &workingSet,
                                           Prompts &prompts, const Clock &clock)
{
    m_list = new AbbreviationList(
        store.cnnLocal(), store.cnnLink(), prompts, clock,
        [&workingSet, &options] {
            const db::Recordset &rs = workingSet.timeCards();
            const bool current = rs.isOpen() && !rs.bof() && !rs.eof();
            const auto id = [&](const char *column) -> std::optional<qint32> {
                const QVariant v = current ? rs.value(QLatin1String(column)) : QVariant();
                return v.isNull() ? std::nullopt : std::optional<qint32>(v.toInt());
            };
            const AdminOptions &o = options;
            return TimeCardActivities{{o.activity1InUse, id("Activity1ID")},
                                      {o.activity2InUse, id("Activity2ID")}};
        },
        options.terms, &window);
    // Below the fields, where the text it inserts is written.
    auto *bar = new QToolBar(QStringLiteral("Abbreviations"), &window);
    bar->setObjectName(QStringLiteral("abAbbreviations"));
    window.addToolBar(Qt::BottomToolBarArea, bar);
    auto *label = new QLabel(QStringLiteral(" Abbre&viation: "), bar);
    label->setBuddy(m_list);
    bar->addWidget(label);
    bar->addWidget(m_list);
    for (int id : {ToolId::InsertAbbreviation, ToolId::EditAbbreviations})
        if (QAction *tool = window.toolById(id))
            bar->addAction(tool);
    m_target =
        new AbbreviationTarget(window.findChild<QPlainTextEdit *>(QStringLiteral("txtDescription")),
                               window.fields().timeSegment(), &window);
    try {
        m_list->fill();
    } catch (const QvError &) {
        // An unreadable list leaves it empty; Insert then says none is chosen.
    }
}

bool AbbreviationCommands::handles(int toolId) const
{
    return toolId == ToolId::InsertAbbreviation || toolId == ToolId::EditAbbreviations;
}

void AbbreviationCommands::run(int toolId)
{
    if (toolId == ToolId::InsertAbbreviation)
        m_list->insertSelected(m_target->target());
    else
        m_list->edit();
}

} // namespace quorvale
