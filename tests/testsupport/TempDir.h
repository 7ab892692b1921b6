#pragma once

#include <QString>
#include <QTemporaryDir>

namespace quorvale::test {

// A scratch directory under the build tree (or the system's temp dir), removed
// when the test ends unless QUORVALE_KEEP_TMP is set.
class TempDir {
public:
    TempDir();
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

private:
    static QString base();
    QTemporaryDir m_dir;
};

} // namespace quorvale::test
