#pragma once

#include <QString>
#include <QStringList>

namespace quorvale {

// The version code the program tests to choose between old and new behaviour:
// "7", "8", "9", "10" or "11", from the first three characters of the version
// text read as a decimal number (8.5 and up is "8"). Text that is no number
// counts as 0, so it is taken for the oldest version.
QString versionCodeFor(const QString &versionText);

// The 15 categories a store without a master list offers, as one text.
QString builtInCategoryMasterList();

// A master list text "A;B;C;" as an array: index 0 empty, entry i at index i.
// Entries are the pieces that end with ";"; text after the last one is not an
// entry. An empty text gives the built-in list.
QStringList parseCategoryMasterList(const QString &masterList);

} // namespace quorvale
