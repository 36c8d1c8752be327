// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <functional>
#include <QByteArrayView>
#include <QString>

// The inflected forms that an entry lists beside its headword: "Haus {n} | Häuser {pl} ::
// house | houses" or "gehen {vi} | gehend | gegangen | er/sie geht | ich/er/sie ging :: to
// go | going | gone | he/she goes | I/he/she went". A piece after the first is a form of
// the first when language 1 marks it as the plural of a noun, or when it follows a verb
// or adjective; both sides keep the same pieces in the same places, so language 1's
// marks stand for language 2 too. Within such a pair of pieces, items (cut at ';') pair
// up in order, and a pair counts when it differs in exactly one word: that word of the
// later piece is a form of that word of the first.
//
// Pure functions; any thread.
namespace quillet {

// The views are valid during the call only.
using TFormFound = std::function<void(int side, QStringView form, QStringView base)>;

// Calls `found` for each form -> base pair of one entry, `side` 0 for language 1.
void ForEachEntryForm(QStringView side1, QStringView side2, const TFormFound& found);

// A cheap test on the stored bytes of language 1's side: false when ForEachEntryForm
// would find nothing in the entry (no '|', or no {pl}, {v...} or {adj} mark).
bool MayListForms(QByteArrayView side1);

} // namespace quillet
