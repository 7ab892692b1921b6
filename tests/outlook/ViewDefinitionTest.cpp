#include "outlook/ViewDefinition.h"

#include "outlook/OutlookViews.h"
#include "platform/pim/JournalItem.h"
#include "platform/pim/Namespace.h"
#include "testsupport/TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace quorvale;

namespace {

const QString Definition = QStringLiteral(R"(<?xml version="1.0"?>
<view name="Quorvale TimeCards">
  <filter field="Quorvale Staff" equals="[QVUserName]"/>
  <column field="Subject" heading="Subject"/>
  <column field="[MainActivity]" heading="[MainActivity]"/>
  <column field="TimeCardID"/>
</view>)");

QStringList headings(const ViewDefinition &view)
{
    QStringList out;
    for (const ViewColumn &c : view.columns())
        out << c.heading;
    return out;
}

TEST(ViewDefinition, PlaceholdersAreReplacedEverywhereAndSafelyForXml)
{
    const ViewSubstitutions values{QStringLiteral("Smith & \"Jones\" <O'Hara>"),
                                   QStringLiteral("Service")};
    const auto view = ViewDefinition::parse(substituteViewPlaceholders(Definition, values));
    ASSERT_TRUE(view);
    EXPECT_EQ(view->name(), "Quorvale TimeCards");
    EXPECT_EQ(headings(*view), (QStringList{"Subject", "Service", "TimeCardID"}));
    EXPECT_EQ(view->columns()[1].field, "Service");
    ASSERT_EQ(view->conditions().size(), 1u);
    EXPECT_EQ(view->conditions()[0].value, values.userName);
}

TEST(ViewDefinition, WithoutActivityOneItsColumnsAreLeftOut)
{
    const auto view = ViewDefinition::parse(
        substituteViewPlaceholders(Definition, {QStringLiteral("Ann"), std::nullopt}));
    ASSERT_TRUE(view);
    EXPECT_EQ(headings(*view), (QStringList{"Subject", "TimeCardID"}));
}

TEST(ViewDefinition, BrokenOrEmptyDefinitionsAreRefusedWithAReason)
{
    QString error;
    EXPECT_FALSE(ViewDefinition::parse("<view name=\"x\"><column field=\"Subject\">", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(ViewDefinition::parse("<view name=\"x\"/>", &error));
    EXPECT_EQ(error, "The view defines no column.");
    EXPECT_FALSE(ViewDefinition::parse("<columns/>", &error));
    EXPECT_FALSE(ViewDefinition::parse("<view><column heading=\"No field\"/></view>", &error));
    EXPECT_FALSE(ViewDefinition::load("/nonexistent/XML1.txt", {}, &error));
}

TEST(ViewDefinition, ShowsOnlyTheItemsOfItsFilter)
{
    test::TempDir dir;
    pim::Namespace ns(dir.filePath("Items"));
    pim::JournalItem mine(ns.GetDefaultFolder(pim::DefaultFolder::Journal));
    mine.userProperties().setValue("Quorvale Staff", pim::UserPropertyType::Text, "ann o'hara");
    pim::JournalItem theirs(ns.GetDefaultFolder(pim::DefaultFolder::Journal));
    theirs.userProperties().setValue("Quorvale Staff", pim::UserPropertyType::Text, "Bob");
    pim::JournalItem nobodys(ns.GetDefaultFolder(pim::DefaultFolder::Journal));

    const auto view = ViewDefinition::parse(
        substituteViewPlaceholders(Definition, {QStringLiteral("Ann O'Hara"), std::nullopt}));
    ASSERT_TRUE(view);
    EXPECT_TRUE(view->shows(mine));
    EXPECT_FALSE(view->shows(theirs));
    EXPECT_FALSE(view->shows(nobodys));
}

TEST(ViewDefinition, TheShippedViewFilesAllLoad)
{
    const QDir shipped(QStringLiteral(QUORVALE_SOURCE_DIR "/resources/views"));
    for (const OutlookView &v : OutlookViews) {
        SCOPED_TRACE(v.viewFile);
        QString error;
        const auto view =
            ViewDefinition::load(viewFilePath(shipped.path(), v), {"Ann", "Service"}, &error);
        ASSERT_TRUE(view) << error.toStdString();
        EXPECT_EQ(view->name(), QLatin1String(v.viewName));
        EXPECT_TRUE(headings(*view).contains("Service"));
        ASSERT_EQ(view->conditions().size(), 1u);
        EXPECT_EQ(view->conditions()[0].value, "Ann");
    }
    EXPECT_EQ(outlookViewForTool(6070)->slot, FolderSlot::TimeCardAppointments);
    EXPECT_EQ(outlookViewForTool(6073), nullptr);
}

} // namespace
