// SPDX-License-Identifier: GPL-2.0-or-later
#include "EntryForms.h"

#include "TextTools.h"

#include <QVarLengthArray>

namespace quillet {

namespace {

// Pieces after the first that may be forms of it.
constexpr int kMaxFormPieces = 6;

// Views into the entry, or into a buffer of the caller; most entries need no more than
// these, so that the pieces, items and words cost no allocation.
using TViews = QVarLengthArray<QStringView, 8>;

// Removes {...}, [...], (...) and <...> with what they enclose; into `out`, whose capacity
// is kept from call to call.
void withoutAnnotations(QStringView text, QString& out) {
    out.resize(text.size());
    QChar* to = out.data();
    int depth = 0;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'{' || u == u'[' || u == u'(' || u == u'<')
            ++depth;
        else if (u == u'}' || u == u']' || u == u')' || u == u'>')
            depth = qMax(0, depth - 1);
        else if (depth == 0)
            *to++ = c;
    }
    out.truncate(to - out.constData());
}

// The words of one item of a form list: annotations gone, a leading pronoun group
// ("er/sie", "I/he/she") and the infinitive's "to" dropped. The words point into `buffer`.
void formWords(QStringView item, QString& buffer, TViews& words) {
    withoutAnnotations(item, buffer);
    words.clear();
    const QStringView text(buffer);
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != u' ')
            continue;
        if (i > start)
            words.append(text.sliced(start, i - start));
        start = i + 1;
    }
    if (!words.isEmpty() && words.front().contains(u'/'))
        words.erase(words.begin());
    if (words.size() > 1 && words.front() == u"to")
        words.erase(words.begin());
}

// The first `most` pieces of the text cut at `separator` outside brackets, trimmed.
void topLevel(QStringView text, QChar separator, TViews& pieces, int most = 1 << 30) {
    pieces.clear();
    int depth = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size() && pieces.size() < most; ++i) {
        const char16_t c = text[i].unicode();
        if (c == separator.unicode() && depth == 0) {
            pieces.append(TrimView(text.sliced(start, i - start)));
            start = i + 1;
        } else if (c == u'(' || c == u'[' || c == u'{') {
            ++depth;
        } else if (c == u')' || c == u']' || c == u'}') {
            --depth;
        }
    }
    if (pieces.size() < most && start < text.size())
        pieces.append(TrimView(text.sliced(start)));
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
    TViews pieces[2];
    topLevel(side1, u'|', pieces[0], most);
    topLevel(side2, u'|', pieces[1], most);
    if (pieces[0].size() < 2 || pieces[0].size() != pieces[1].size())
        return;
    const QStringView head = pieces[0][0];
    const bool noun = head.contains(u"{m}") || head.contains(u"{f}") || head.contains(u"{n}");
    const bool verb = head.contains(u"{v");
    const bool adjective = head.contains(u"{adj}");
    if (!noun && !verb && !adjective)
        return;
    const int last = int(qMin<qsizetype>(pieces[0].size() - 1, adjective ? 2 : kMaxFormPieces));
    TViews bases, forms, b, f;
    QString baseBuffer, formBuffer;
    for (int k = 1; k <= last; ++k) {
        if (!verb && !adjective && !pieces[0][k].contains(u"{pl}"))
            continue;
        for (int side = 0; side < 2; ++side) {
            topLevel(pieces[side][0], u';', bases);
            topLevel(pieces[side][k], u';', forms);
            const qsizetype items = bases.size() == forms.size() ? bases.size() : 1;
            for (qsizetype i = 0; i < items && i < bases.size() && i < forms.size(); ++i) {
                formWords(bases[i], baseBuffer, b);
                formWords(forms[i], formBuffer, f);
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
