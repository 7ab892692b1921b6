#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <optional>
#include <vector>

namespace quorvale {

class Clock;

namespace db {
class Connection;
}

// One stock text and the short name the person picks it by.
struct Abbreviation {
    QString name;
    QString text;

    bool operator==(const Abbreviation &) const = default;
};

// The characters a name may hold; every other key is refused while a name is typed.
inline constexpr const char *AbbreviationNameCharacters =
    "abcdefghijklmnopqrstuvwxyz `!#$&()-:,'1234567890.";
bool isAbbreviationNameCharacter(QChar c);

// The user's abbreviations (tblAbbreviations on `cnnLocal`) in SortOrder.
std::vector<Abbreviation> LoadAbbreviations(db::Connection &local);
// `FillAbbreviationList`: the names in SortOrder, as the drop-down list shows them.
QStringList FillAbbreviationList(db::Connection &local);

// The stock text of the abbreviation called name; nullopt when there is none.
// Should an older list hold the name twice, the first in SortOrder counts, the
// one the drop-down list shows first.
std::optional<QString> AbbreviationText(db::Connection &local, const QString &name);

// `SaveAbbreviations`: replaces the table's rows by list, SortOrder 0, 1, 2 ... in
// list order. All or nothing: when a row cannot be written the QvError is
// thrown and the table keeps the rows it had.
void SaveAbbreviations(db::Connection &local, const std::vector<Abbreviation> &list);

// An activity level of the shown TimeCard as [ACT1DESC] / [ACT2DESC] see it.
struct ActivitySelection {
    bool inUse = false;
    std::optional<qint32> id; // nullopt (or 0): none chosen
};

struct TimeCardActivities {
    ActivitySelection activity1;
    ActivitySelection activity2;
};

// What the key phrases stand for at the moment of inserting.
struct KeyPhraseContext {
    const Clock &clock;
    db::Connection &link; // tblMainActivities, tblSubActivities
    TimeCardActivities activities;
    QLocale locale = QLocale();
};

// The ActivityDescription of an activity of level 1 (tblMainActivities) or 2
// (tblSubActivities); empty when the activity is not there.
QString ActivityDescription(db::Connection &link, int level, qint32 activityId);

// The stock text with a key phrase at its very start replaced:
//   [DTM1] "[date] "   [DTM2] "[date time] "   [DTM3] "[time] "
//   [ACT1DESC] / [ACT2DESC] the activity's description and " " - only when the
//   level is in use (else the text stays as it is); with no activity chosen the
//   phrase is dropped.
// Dates in the locale's short format, times as the Ctrl+digit stamps write them.
// A phrase anywhere else, or in other letter case, is ordinary text.
QString ExpandKeyPhrase(const QString &text, const KeyPhraseContext &context);

// The text the tip button shows, one line each; the activity terms name the levels.
QString abbreviationTipText(const QString &activity1Term, const QString &activity2Term);

namespace AbbreviationTexts {
inline constexpr const char *Caption = " Abbreviations";
inline constexpr const char *TipCaption = " Abbreviation Tip";
inline constexpr const char *NoneSelected =
    "You must first select an abbreviation from the drop down list.";
inline constexpr const char *NewText = "Enter text for abbreviation here.";
inline constexpr const char *WarningCaption = "Warning";
inline constexpr const char *AddNameFirst = "Use the \"Add\" button to add an abbreviation name "
                                            "before editing the text of the abbreviation.";
} // namespace AbbreviationTexts

} // namespace quorvale
