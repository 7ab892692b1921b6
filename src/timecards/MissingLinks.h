#pragma once

#include <QString>

namespace quorvale {

class Prompts;

// The fields a new linked item needs from the TimeCard: each one the
// administrator has in use and required, with its display term, and whether
// the current TimeCard holds it.
struct RequiredLinkField {
    QString term;
    bool inUse = false;
    bool required = false;
    bool present = false;
};

struct LinkFields {
    RequiredLinkField contact;
    RequiredLinkField activity1;
    RequiredLinkField activity2;
};

// The terms of the required fields the TimeCard lacks, joined with ", " and a
// final " and "; empty when nothing is missing.
QString missingLinkList(const LinkFields &fields);

// True when something is missing; the person has then been told what.
bool MissingLinks(const LinkFields &fields, Prompts &prompts);

} // namespace quorvale
