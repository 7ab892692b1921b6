#include "qvadmin/ViewFiles.h"

#include "testsupport/TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace quorvale;

namespace {

TEST(ViewFiles, AreCopiedFromTheFirstFolderHoldingThemAndAdaptedOnesAreKept)
{
    test::TempDir tmp;
    const QString program = tmp.filePath("program");
    QDir().mkpath(program);
    QFile adapted(program + "/XML2.txt");
    ASSERT_TRUE(adapted.open(QIODevice::WriteOnly));
    adapted.write("<view name=\"Ours\"/>");
    adapted.close();

    const QString shipped = QStringLiteral(QUORVALE_SOURCE_DIR "/resources/views");
    EXPECT_EQ(admin::installViewFiles(program, {tmp.filePath("nowhere"), shipped}), 4);
    for (int i = 1; i <= 5; ++i)
        EXPECT_TRUE(QFileInfo::exists(program + QStringLiteral("/XML%1.txt").arg(i))) << i;
    ASSERT_TRUE(adapted.open(QIODevice::ReadOnly));
    EXPECT_EQ(adapted.readAll(), "<view name=\"Ours\"/>");

    EXPECT_EQ(admin::installViewFiles(program, {shipped}), 0);
    EXPECT_EQ(admin::installViewFiles(tmp.filePath("other"), {tmp.filePath("nowhere")}), 0);
}

} // namespace
