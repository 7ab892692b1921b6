#pragma once

#include "data/TimeCardRepository.h"
#include "outlook/LinkMaintenance.h"

#include <QString>
#include <QVariant>
#include <memory>

class QProgressDialog;
class QWidget;

namespace quorvale {

class Prompts;
class DataStore;
class OutlookSession;
struct AdminOptions;
class TimeCardEditor;
class TimeCardMirror;

// The main window's side of link maintenance: which TimeCard values the items
// are rewritten from, the status text and a progress dialog with the busy
// pointer while items are rewritten.
class LinkFollowing {
public:
    LinkFollowing(DataStore &store, OutlookSession &outlook, const AdminOptions &options,
                  TimeCardEditor &editor, TimeCardMirror &mirror, Prompts &prompts,
                  QWidget &window);
    ~LinkFollowing();
    LinkFollowing(const LinkFollowing &) = delete;
    LinkFollowing &operator=(const LinkFollowing &) = delete;

    LinkMaintenance &maintenance() { return *m_maintenance; }

    // The current TimeCard's column already holds `value`. With linked items the
    // person is asked first; false when they cancelled (the caller puts the old
    // value back).
    bool currentChanged(const QString &column, const QVariant &value);
    // The same after the person was asked elsewhere (the contact choice).
    void currentChanged(const QString &column, const QVariant &value, const LinkRewrite &rewrite);
    // A stored TimeCard, without asking and without a progress dialog of its own.
    bool storedChanged(const QString &column, const QVariant &value, qint64 timeCardId);
    // Rewrites a stored TimeCard's journal entry from its stored values.
    void mirrorStored(qint64 timeCardId);

private:
    bool follow(const QString &column, const QVariant &value, qint64 timeCardId, bool noPrompt);
    std::optional<ItemVariables> card(qint64 timeCardId);
    void progress(int done, int total);

    DataStore &m_store;
    TimeCardEditor &m_editor;
    TimeCardMirror &m_mirror;
    QWidget &m_window;
    TimeCardRepository m_timeCards;
    std::unique_ptr<LinkMaintenance> m_maintenance;
    bool m_showProgress = false;
    bool m_readStored = false;
    std::unique_ptr<QProgressDialog> m_progress;
};

} // namespace quorvale
