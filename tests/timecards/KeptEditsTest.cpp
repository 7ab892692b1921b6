// Changes kept in a real QVLocal.db file because the database server was away
// when the program closed: read back with their types by a new connection, as the
// next start reads them.

#include "timecards/KeptEdits.h"

#include "platform/core/Money.h"
#include "platform/db/Connection.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/TempDir.h"

#include <QDate>
#include <QTime>
#include <gtest/gtest.h>

using namespace quorvale;

namespace {

QString jetString(const QString &file)
{
    return "PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=" + file + ";";
}

struct KeptEditsTest : ::testing::Test {
    KeptEditsTest() { db::Connection::createSqliteFile(path); }
    test::TempDir dir;
    const QString path = dir.filePath("QVLocal.db");
};

} // namespace

TEST_F(KeptEditsTest, EveryKindOfColumnComesBackAsItWasAtTheNextStart)
{
    const std::vector<KeptEdit> edits{
        {"Description", QStringLiteral("Called O'Hara; \"urgent\"\nsecond line")},
        {"Quantity", QStringLiteral("0012034")},
        {"EndDate", QDate(2024, 3, 5)},
        {"EndTime", QTime(17, 4, 9)},
        {"ContactID", 42},
        {"Value", QVariant::fromValue(Money::fromStored(1234500))},
        {"Activity2ID", QVariant(QMetaType::fromType<int>())},
    };
    {
        db::Connection cnn;
        cnn.open(jetString(path));
        KeptEdits kept(cnn);
        kept.keep(7, {{"Description", QStringLiteral("replaced by the later keep")}});
        kept.keep(7, edits);
        kept.keep(3, {{"Description", QStringLiteral("another TimeCard")}});
    }
    db::Connection cnn;
    cnn.open(jetString(path));
    KeptEdits kept(cnn);
    EXPECT_EQ(kept.timeCards(), (std::vector<qint64>{7, 3})); // in the order they were kept
    const std::vector<KeptEdit> back = kept.edits(7);
    ASSERT_EQ(back.size(), edits.size());
    for (size_t i = 0; i < edits.size(); ++i) {
        EXPECT_EQ(back[i].field, edits[i].field);
        EXPECT_EQ(back[i].value.isNull(), edits[i].value.isNull()) << back[i].field.toStdString();
        if (edits[i].value.typeId() == qMetaTypeId<Money>())
            EXPECT_EQ(back[i].value.toLongLong(), 1234500); // as the column stores it
        else
            EXPECT_EQ(back[i].value, edits[i].value) << back[i].field.toStdString();
    }
    kept.clear(7);
    EXPECT_EQ(kept.timeCards(), std::vector<qint64>{3});
    EXPECT_TRUE(kept.edits(7).empty());
}
