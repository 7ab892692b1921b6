#pragma once

namespace quorvale {

// How a new item belongs to the work: its values are the codes the selection
// dialog hands over.
enum class LinkMode {
    TimeCard = 0, // the TimeCard's contact and texts; properties and a link row
    None = 1,     // a bare item
    Contact = 2,  // a chosen contact's data only; no link row
};

// The kinds of personal task the selection dialog offers, in its list order.
enum class TaskType {
    Normal = 0,
    AutoTask = 1,
    ReturnCall = 2, // a call from the contact to return
    PlaceCall = 3,  // a call to make to the contact
};

inline bool isCallTask(TaskType type)
{
    return type == TaskType::ReturnCall || type == TaskType::PlaceCall;
}

} // namespace quorvale
