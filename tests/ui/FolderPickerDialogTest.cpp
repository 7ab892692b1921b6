#include "ui/FolderPickerDialog.h"

#include "testsupport/QtPrinters.h"

#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace quorvale;

TEST(FolderPickerDialog, OffersEveryFolderUnderItsStoreAndHandsBackTheChoice)
{
    const QVariantList folders{QVariantMap{{"entryId", "e1"},
                                           {"storeId", "s1"},
                                           {"name", "Calendar"},
                                           {"storeName", "Personal Folders"},
                                           {"path", "/x/Calendar"}},
                               QVariantMap{{"entryId", "e2"},
                                           {"storeId", "s1"},
                                           {"name", "Tasks"},
                                           {"storeName", "Personal Folders"},
                                           {"path", "/x/Tasks"}},
                               QVariantMap{{"entryId", "e3"},
                                           {"storeId", "s2"},
                                           {"name", "Team Tasks"},
                                           {"storeName", "Shared"},
                                           {"path", "/y/Team Tasks"}}};
    FolderPickerDialog dialog(QVariantMap{{"folders", folders}});
    QTreeWidget *list = dialog.folderList();
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->topLevelItem(0)->childCount(), 2);

    // A store is no folder: choosing it gives nothing.
    list->setCurrentItem(list->topLevelItem(1));
    EXPECT_TRUE(dialog.choice().isEmpty());

    list->setCurrentItem(list->topLevelItem(1)->child(0));
    EXPECT_EQ(dialog.choice().value("entryId").toString(), "e3");
    EXPECT_EQ(dialog.choice().value("storeId").toString(), "s2");
}
