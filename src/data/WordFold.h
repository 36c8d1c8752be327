// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QStringView>
#include <string>

// The folded forms of a word that the suggestions compare: its lower case, and its
// spelling key, in which case, accents and ß/ss are disregarded ("Straße" and "STRASSE"
// have the key "strasse"). Code-unit work without collation, so that keys can be sorted
// and compared a unit at a time.
//
// Pure functions; any thread.
namespace quillet {

// The lower case of one UTF-16 code unit (surrogates stay as they are).
inline char16_t LowerUnit(char16_t c) {
    if (c < 0x80)
        return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
    return char16_t(QChar::toLower(c));
}

// Appends the spelling key of `text`: lower case, ß as ss, æ and œ as ae and oe, accents
// and other non-spacing marks dropped (é -> e), ä, ö, ü as a, o, u or, with
// `transliterate`, as ae, oe, ue (how they are typed without the keys).
void AppendSpellingKey(QStringView text, bool transliterate, std::u16string& out);
inline std::u16string SpellingKey(QStringView text, bool transliterate = false) {
    std::u16string key;
    AppendSpellingKey(text, transliterate, key);
    return key;
}

// The text holds ä, ö or ü in either case.
bool HasUmlaut(QStringView text);

} // namespace quillet
