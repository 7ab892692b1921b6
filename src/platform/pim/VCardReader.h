#pragma once

#include "platform/pim/VCard.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace quorvale::pim {

// What reading a .vcf file gave: the first card, or why there is none.
struct VCardReadResult {
    std::optional<VCard> card;
    // Empty when a card was read; otherwise one line for the person, naming the
    // line of the file where it went wrong.
    QString error;
    // Cards after the first: not read, but their text is kept in `rest` so a
    // rewrite of the first one does not drop them.
    int extraCards = 0;
    QByteArray rest;

    bool ok() const { return card.has_value(); }
};

// Reads vCard 2.1, 3.0 and 4.0 text. Works on the bytes alone (no file access)
// and never throws, so any input, however broken, gives a card or an error.
//
// Quoted-printable values are decoded (and written back plain, as 3.0 and 4.0
// have no quoted-printable), as are values in another CHARSET; base64 values
// stay encoded. A card without VERSION is taken as 3.0.
VCardReadResult readVCard(const QByteArray &data);

} // namespace quorvale::pim
