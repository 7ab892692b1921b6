#pragma once

#include "platform/core/QvError.h"

#include <QByteArray>
#include <QFileDevice>
#include <QString>

// The one way the program writes a file whole: items, error reports, reports,
// documents, view files and the store's own files. A full disk must never
// leave an empty or half-written file where a good one was.
namespace quorvale {

struct WholeFileOptions {
    // Set on the temporary file before any byte is in it. Everything the
    // program writes may hold a client's name or billing details: owner only.
    QFileDevice::Permissions permissions = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    // Where the bytes go before the rename; it must not exist and must lie on
    // the target's file system. Empty: a hidden file beside the target, named
    // so that no calendar or contacts program takes it for an item.
    QString temporaryPath;
    long errorNumber = ErrorNumber::PathFileAccess;
    QString errorSource = QStringLiteral("Quorvale");
};

// Writes `data` into a temporary file, checks every write, syncs it to the disk
// and only then renames it over `path`. On any failure the temporary file is
// removed, an earlier file at `path` is left as it was, and a QvError with the
// options' number and source says what happened in words.
void writeWholeFile(const QString &path, const QByteArray &data,
                    const WholeFileOptions &options = {});

// The sentence for a file that could not be saved because of the system error
// `error` (an errno value): a full disk and a file too large are named as such.
QString saveFailureText(const QString &path, int error, bool earlierKept);

} // namespace quorvale
