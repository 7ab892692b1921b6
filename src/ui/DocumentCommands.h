#pragma once

#include "timecards/CommandSet.h"

#include <QString>
#include <functional>

namespace quorvale {

class Prompts;
class DataStore;
struct RegSettings;
class TimeCardEditor;
class frmTimeCard;

// File > New > Document: the selection dialog, then a new empty document (or a
// file from disk) linked to the current TimeCard, and the new file opened in
// the desktop's program for it.
class DocumentCommands : public CommandSet {
public:
    DocumentCommands(frmTimeCard &window, DataStore &store, const RegSettings &settings,
                     TimeCardEditor &editor, Prompts &prompts);

    bool handles(int toolId) const override;
    void run(int toolId) override;

    // Opens a linked document with its associated program (a links list's Edit).
    bool openDocument(const QString &path);

    // Told the TimeCard whose document links changed, so a shown list can refill.
    void setLinksChanged(std::function<void(qint64 timeCardId)> changed)
    {
        m_linksChanged = std::move(changed);
    }

private:
    frmTimeCard &m_window;
    DataStore &m_store;
    const RegSettings &m_settings;
    TimeCardEditor &m_editor;
    Prompts &m_prompts;
    std::function<void(qint64)> m_linksChanged;
};

} // namespace quorvale
