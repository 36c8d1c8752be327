// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <string_view>

// The one ordering and equality of words everywhere: index files, lookups, history,
// import and pronunciation keys.
//
// It is ICU's root collation at secondary strength (case-insensitive, accent-sensitive:
// Haus = HAUS, Haus != Häus) with normalization on. It is deliberately not the user's
// locale: the order of an index file is a property of the file, so a dictionary built on
// one machine must look up correctly on every other.
//
// Thread safety: every function may be called from any thread. The collator is configured
// once per process; each thread works on its own clone of it.
namespace quillet {

// Negative, zero or positive, like strcmp.
int CompareText(QStringView a, QStringView b);
// The same order on UTF-8 texts (ill-formed bytes compare as U+FFFD).
int CompareTextUtf8(std::string_view a, std::string_view b);
inline bool SameText(QStringView a, QStringView b) {
    return CompareText(a, b) == 0;
}

// The text begins (ends) with the other: the text has at least as many UTF-16 code units
// as the prefix (suffix), and that many leading (trailing) units equal it under CompareText.
bool StartsText(QStringView prefix, QStringView text);
bool EndsText(QStringView suffix, QStringView text);

// A byte string whose memcmp order is the CompareText order, equal exactly when the texts
// compare equal. For sorting and hashing many words at once.
QByteArray CollationKey(QStringView text);

// The text has a primary weight (a letter, digit, sign or blank); false for texts made
// only of characters that the comparison ignores or only weighs as accents (controls, the
// soft hyphen, zero-width characters, lone combining marks) and for the empty text.
bool HasPrimaryWeight(QStringView text);

// A text that sorts after every text whose primary weights begin with those of `text`
// and before every greater text that does not: `text` followed by U+FFFF, which root
// collation gives the highest primary weight for exactly this use (prefix ranges).
QString PrefixRangeEnd(QStringView text);

} // namespace quillet
