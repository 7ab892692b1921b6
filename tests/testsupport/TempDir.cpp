#include "TempDir.h"

#include <QDir>

namespace quorvale::test {

QString TempDir::base()
{
    QString root = qEnvironmentVariable("QUORVALE_TEST_TMP");
    if (root.isEmpty())
        root = QDir::tempPath();
    QDir().mkpath(root);
    return root + QStringLiteral("/qvtest-XXXXXX");
}

TempDir::TempDir() : m_dir(base())
{
    m_dir.setAutoRemove(!qEnvironmentVariableIsSet("QUORVALE_KEEP_TMP"));
}

} // namespace quorvale::test
