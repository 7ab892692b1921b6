#pragma once

#include "platform/pim/IcalItem.h"

namespace quorvale::pim {

// A note: a VJOURNAL in a Notes folder (the folder, not the file, makes it a
// note). Its Subject is the first line of its Body and cannot be set; SUMMARY
// carries that line for other clients. A note written elsewhere with a
// SUMMARY but no DESCRIPTION reads with the summary as its body.
class NoteItem : public IcalItem {
public:
    explicit NoteItem(Folder folder);

    QString Subject() const override;
    void setSubject(const QString &) override {}
    bool setProperty(const QString &name, const QVariant &value) override;

protected:
    void readKind(const IcalDocument &document) override;
    void writeKind(IcalDocument &) override {}
};

} // namespace quorvale::pim
