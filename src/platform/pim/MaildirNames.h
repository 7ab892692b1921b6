#pragma once

#include <QByteArray>
#include <QString>

// Maildir file names and writes. A message's file is "new/<base>" or
// "cur/<base>:2,<flags>"; the base name is unique and never changes, the flags
// (S seen, D draft, T trashed, F flagged, R replied, in ASCII order) do, by a
// rename. Files are written into tmp/ first and renamed into place, so a reader
// never sees half a message.
namespace quorvale::pim::maildir {

inline constexpr QChar Seen = u'S';
inline constexpr QChar Draft = u'D';
inline constexpr QChar Trashed = u'T';
inline constexpr QChar Flagged = u'F';
inline constexpr QChar Replied = u'R';

// "<seconds>.<unique>.<host>" for a new message; unique within this host.
QString uniqueBaseName();
// The base name of "cur/<base>:2,FS", "new/<base>" or a bare base name.
QString baseName(const QString &fileName);
// The flags of a file name ("" for new/ and for names without ":2,").
QString flagsOf(const QString &fileName);
// The flags with `flag` set or cleared, kept in ASCII order.
QString withFlag(const QString &flags, QChar flag, bool on);
// "cur/<base>:2,<flags>".
QString curName(const QString &base, const QString &flags);

// The file (relative to the Maildir) that holds the message with the base name
// of `fileName` now, looking in new/ and cur/ only; empty when there is none or
// the name could lead outside the Maildir.
QString locate(const QString &maildirPath, const QString &fileName);

// Writes `content` through tmp/ (mode 0600, synced) to `targetName`. When
// `currentName` names an existing file, that file is replaced and then renamed
// to `targetName`: each step is one rename, so the message is never missing or
// doubled. Throws QvError(PathFileAccessError); the existing file is then as it
// was.
void write(const QString &maildirPath, const QString &currentName, const QString &targetName,
           const QByteArray &content);

// Renames a message file from one Maildir into another in one step (both on one
// file system), so it is never in both or neither. Throws
// QvError(PathFileAccessError).
void move(const QString &fromMaildir, const QString &fromName, const QString &toMaildir,
          const QString &toName);

} // namespace quorvale::pim::maildir
