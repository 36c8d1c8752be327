// SPDX-License-Identifier: GPL-2.0-or-later
#include "EntryForms.h"

#include "TextTools.h"

#include <QList>
#include <QStringList>

namespace quillet {

namespace {

// Pieces after the first that may be forms of it.
constexpr int kMaxFormPieces = 6;

// Removes {...}, [...], (...) and <...> with what they enclose.
QString withoutAnnotations(QStringView text) {
    QString out;
    out.reserve(text.size());
    int depth = 0;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'{' || u == u'[' || u == u'(' || u == u'<')
            ++depth;
        else if (u == u'}' || u == u']' || u == u')' || u == u'>')
            depth = qMax(0, depth - 1);
        else if (depth == 0)
            out += c;
    }
    return out;
}

// The words of one item of a form list: annotations gone, a leading pronoun group
// ("er/sie", "I/he/she") and the infinitive's "to" dropped.
QStringList formWords(QStringView item) {
    QStringList words = withoutAnnotations(item).split(u' ', Qt::SkipEmptyParts);
    if (!words.isEmpty() && words.front().contains(u'/'))
        words.removeFirst();
    if (words.size() > 1 && words.front() == u"to")
        words.removeFirst();
    return words;
}

// The first `most` pieces of the text cut at `separator` outside brackets, trimmed.
QList<QStringView> topLevel(QStringView text, QChar separator, int most = 1 << 30) {
    QList<QStringView> pieces;
    int depth = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size() && pieces.size() < most; ++i) {
        const char16_t c = text[i].unicode();
        if (c == separator.unicode() && depth == 0) {
            pieces << TrimView(text.sliced(start, i - start));
            start = i + 1;
        } else if (c == u'(' || c == u'[' || c == u'{') {
            ++depth;
        } else if (c == u')' || c == u']' || c == u'}') {
            --depth;
        }
    }
    if (pieces.size() < most && start < text.size())
        pieces << TrimView(text.sliced(start));
    return pieces;
}

} // namespace

bool MayListForms(QByteArrayView side1) {
    return side1.contains('|') &&
           (side1.contains("{pl}") || side1.contains("{v") || side1.contains("{adj}"));
}

void ForEachEntryForm(QStringView side1, QStringView side2, const TFormFound& found) {
    // Pieces beyond the forms' places need not be cut; both sides having the same number
    // of pieces up to there is what tells that they keep the same places.
    const int most = kMaxFormPieces + 1;
    const QList<QStringView> pieces[2] = {topLevel(side1, u'|', most), topLevel(side2, u'|', most)};
    if (pieces[0].size() < 2 || pieces[0].size() != pieces[1].size())
        return;
    const QStringView head = pieces[0][0];
    const bool noun = head.contains(u"{m}") || head.contains(u"{f}") || head.contains(u"{n}");
    const bool verb = head.contains(u"{v");
    const bool adjective = head.contains(u"{adj}");
    if (!noun && !verb && !adjective)
        return;
    const int last = int(qMin<qsizetype>(pieces[0].size() - 1, adjective ? 2 : kMaxFormPieces));
    for (int k = 1; k <= last; ++k) {
        if (!verb && !adjective && !pieces[0][k].contains(u"{pl}"))
            continue;
        for (int side = 0; side < 2; ++side) {
            const QList<QStringView> bases = topLevel(pieces[side][0], u';');
            const QList<QStringView> forms = topLevel(pieces[side][k], u';');
            const qsizetype items = bases.size() == forms.size() ? bases.size() : 1;
            for (qsizetype i = 0; i < items && i < bases.size() && i < forms.size(); ++i) {
                const QStringList b = formWords(bases[i]), f = formWords(forms[i]);
                if (b.isEmpty() || b.size() != f.size())
                    continue;
                int at = -1;
                for (int w = 0; w < b.size(); ++w) {
                    if (b[w] != f[w])
                        at = at == -1 ? w : -2;
                }
                if (at >= 0)
                    found(side, f[at], b[at]);
            }
        }
    }
}

} // namespace quillet
