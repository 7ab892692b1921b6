#include "outlook/AutoFillSettings.h"
#include "platform/registry/Registry.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/TempDir.h"

#include <gtest/gtest.h>

using namespace quorvale;

namespace {

TEST(AutoFillSettings, EmptySettingsReadAsTheDefaults)
{
    test::TempDir dir;
    Registry registry(dir.filePath("settings.ini"));
    const AutoFillTemplates read = readAutoFillTemplates(registry);
    EXPECT_EQ(read, AutoFillTemplates{});
    EXPECT_EQ(read.journal, (std::array<qint16, 10>{11, 2, 3, 6, 8, 11, 2, 0, 0, 0}));
    EXPECT_EQ(read.notes, (std::array<qint16, 6>{13, 2, 3, 6, 8, 13}));
}

TEST(AutoFillSettings, WrittenCodesAreReadBackAsText)
{
    test::TempDir dir;
    const QString path = dir.filePath("settings.ini");
    AutoFillTemplates templates;
    templates.journal = {99, 1, 2, 3, 4, 5, 102, 97, 0, 7};
    templates.tasks[9] = 41;
    templates.appointments[0] = 101;
    templates.notes = {0, 0, 0, 0, 0, 98};
    {
        Registry registry(path);
        writeAutoFillTemplates(registry, templates);
    }
    Registry fresh(path);
    EXPECT_EQ(readAutoFillTemplates(fresh), templates);
    EXPECT_EQ(fresh.openSubKey("Settings\\AutoFill\\Journal").readText("6"), "102");
    EXPECT_EQ(fresh.openSubKey("Settings\\AutoFill\\Tasks").readText("9"), "41");
    EXPECT_EQ(fresh.openSubKey("Settings\\AutoFill\\Appointments").readText("0"), "101");
    // Notes have six slots only.
    EXPECT_FALSE(fresh.openSubKey("Settings\\AutoFill\\Notes").hasValue("6"));

    // A value that is no number keeps its slot's default.
    fresh.openSubKey("Settings\\AutoFill\\Tasks").writeText("3", "Category");
    EXPECT_EQ(readAutoFillTemplates(fresh).tasks[3], AutoFillTemplates{}.tasks[3]);
}

} // namespace
