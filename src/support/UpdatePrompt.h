#pragma once

namespace quorvale {

// The modal " Modify Outlook Fields?" prompt, asked before a change of a
// TimeCard's contact or activities is carried into its linked items. Opened
// through Prompts::showDialog with the two ticks in its values (as they start);
// accepted, it hands them back under the same keys; cancelled, the change is
// abandoned.
inline constexpr const char *UpdatePromptDialogName = "UpdatePrompt";
inline constexpr const char *ModifySubjectKey = "modifySubject";
inline constexpr const char *ModifyBodyKey = "modifyBody";

namespace UpdatePromptText {
inline constexpr const char *Title = " Modify Outlook Fields?";
inline constexpr const char *Affects =
    "The change you are making may also affect Outlook items linked to this TimeCard.";
inline constexpr const char *Question =
    "Where applicable, do you want to modify any Outlook fields affected by this change? These "
    "fields will be modified in accordance with your AutoFill settings.";
inline constexpr const char *Proceed =
    "Click on \"OK\" to proceed.  Click on \"Cancel\" to cancel the change to this item.";
inline constexpr const char *ModifySubject = " Modify the &subject field.";
inline constexpr const char *ModifyBody = " Modify the &body field.";
inline constexpr const char *Cancel = "&Cancel";
} // namespace UpdatePromptText

} // namespace quorvale
