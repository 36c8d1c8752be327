// SPDX-License-Identifier: GPL-2.0-or-later
#include "WordFold.h"

#include <QString>

namespace quillet {

void AppendSpellingKey(QStringView text, bool transliterate, std::u16string& out) {
    for (QChar ch : text) {
        const char16_t c = LowerUnit(ch.unicode());
        if (c < 0x80) {
            out += c;
            continue;
        }
        switch (c) {
        case u'ß':
            out += u"ss";
            continue;
        case u'ä':
        case u'ö':
        case u'ü':
            out += c == u'ä' ? u'a' : c == u'ö' ? u'o' : u'u';
            if (transliterate)
                out += u'e';
            continue;
        case u'æ':
            out += u"ae";
            continue;
        case u'œ':
            out += u"oe";
            continue;
        default:
            break;
        }
        const QChar q(c);
        if (q.category() == QChar::Mark_NonSpacing)
            continue;
        // The base letter of a precomposed one, through every level (ǖ -> ü -> u).
        char16_t base = c;
        while (QChar(base).decompositionTag() == QChar::Canonical) {
            const QString d = QChar(base).decomposition();
            if (d.isEmpty() || d.front().unicode() == base)
                break;
            base = d.front().unicode();
        }
        out += base;
    }
}

bool HasUmlaut(QStringView text) {
    for (QChar c : text)
        if (const char16_t u = LowerUnit(c.unicode()); u == u'ä' || u == u'ö' || u == u'ü')
            return true;
    return false;
}

} // namespace quillet
