#include "TourPages.h"

namespace quorvale {

// Every key named here is the command table's own: a page that promises a key
// the window does not answer to is worse than no page.
const QList<TourPage> &mainWindowTourPages()
{
    static const QList<TourPage> pages{
        {QStringLiteral("Start a TimeCard"),
         QStringLiteral("Every piece of work you bill is a TimeCard: who it was for, what you "
                        "did and how long it took. Press F11 to start a new TimeCard and F12 to "
                        "delete the one in front of you. Create New... adds to the TimeCard "
                        "you are on: Ctrl+T a task, Ctrl+N a note, Ctrl+E an expense."),
         QStringLiteral("MainToolbar")},
        {QStringLiteral("Choose the contact"),
         QStringLiteral("Select Contact ties the TimeCard to the client the work is for, so it "
                        "is billed to the right account. From the keyboard: Alt+C, then N. "
                        "Ctrl+F7 opens your contacts to add or change one."),
         QStringLiteral("tbSelectContact")},
        {QStringLiteral("Describe the work"),
         QStringLiteral("Say what you did in plain words: this is the line your client reads on "
                        "the invoice. Alt+R brings you here from anywhere in the window. Ctrl+U "
                        "inserts one of your abbreviations and Ctrl+W edits them."),
         QStringLiteral("txtDescription")},
        {QStringLiteral("Time it as you work"),
         QStringLiteral("Press F3 to start the timer on this TimeCard and F3 again to pause it; "
                        "Ctrl+F3 discards a run you did not mean to start. When the phone rings, "
                        "F4 times the interruption on its own, and F9 takes you back to the "
                        "TimeCard being timed."),
         QStringLiteral("mnuStartTimer")},
        {QStringLiteral("Or type the time yourself"),
         QStringLiteral("Alt+P takes you to the time spent. Type it the way you think of it: "
                        "1:30, 1.5 and 1h30m all mean an hour and a half. The Menu key on the "
                        "field offers Add Time and Subtract Time."),
         QStringLiteral("txtTimeSpent")},
        {QStringLiteral("Move between TimeCards"),
         QStringLiteral("The navigator shows where you are among your TimeCards. F5 goes to the "
                        "first, F6 to the previous, F7 to the next and F8 to the last. Ctrl+K "
                        "lists them all so you can pick one."),
         QStringLiteral("abTimeCardNavigator")},
        {QStringLiteral("Keep related items together"),
         QStringLiteral("The Links tab (Alt+K) gathers this TimeCard's tasks, appointments, "
                        "notes, messages and documents. Alt+S chooses which kind to see; Insert "
                        "adds one and Delete removes the one selected."),
         QStringLiteral("LinksPanel")},
        {QStringLiteral("Find what you need"),
         QStringLiteral("The Manage menu (Alt+M) holds your lists and the filter. Ctrl+F shows "
                        "only the TimeCards you ask for, by client, date, billing status and "
                        "more; Ctrl+F again shows them all, and Ctrl+F12 brings hidden ones back "
                        "into view. This tour is always on the Help menu: Alt+H, then T."),
         QStringLiteral("mnuManage")},
    };
    return pages;
}

} // namespace quorvale
