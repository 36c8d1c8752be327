// SPDX-License-Identifier: GPL-2.0-or-later
#include "TermExtract.h"

#include "Ansi.h"
#include "Collation.h"
#include "FileIO.h"
#include "TextTools.h"

#include <algorithm>
#include <array>
#include <QVarLengthArray>

namespace quillet {
namespace {

// Deleted from a side before its words are taken.
const QString kDeletedChars = QStringLiteral("^$!?,\"'%&+=<>\u00B00123456789\u00A9\u00AE~");

using TViews = QVarLengthArray<QStringView, 16>;

// Doubles an open-addressing table (entries with a Hash and a Class, -1 when empty) and
// puts every entry back at its hash.
template <typename TEntry> void growTable(std::vector<TEntry>& table) {
    std::vector<TEntry> old(table.size() * 2);
    old.swap(table);
    const size_t mask = table.size() - 1;
    for (const TEntry& slot : old) {
        if (slot.Class < 0)
            continue;
        size_t at = slot.Hash & mask;
        while (table[at].Class >= 0)
            at = (at + 1) & mask;
        table[at] = slot;
    }
}

bool deleted(char16_t c) {
    static const auto table = [] {
        std::array<bool, 256> t{};
        for (const QChar d : kDeletedChars)
            t[d.unicode()] = true;
        return t;
    }();
    return c < 256 && table[c];
}

void splitTopLevel(QStringView text, QChar ch, TViews& pieces) {
    pieces.clear();
    ForEachTopLevel(text, ch, [&](QStringView piece) { pieces.append(piece); });
}

bool skipped(QStringView word) {
    const QChar first = word.front();
    const QChar last = word.back();
    if (first == u'[' || first == u'-' || first == u'\u2026' || first == u'.' || first == u'{')
        return true;
    if (last == u'.' || last == u'-')
        return true;
    return word.size() == 1 && word != u"I" && word != u"a";
}

// A word reads the same after a round trip through Windows-1252 (the common case).
bool ansiSafe(QStringView word) {
    for (const QChar c : word) {
        const char16_t u = c.unicode();
        if (u >= 0x80 && u < 0xA0)
            return false;
        if (u > 0xFF)
            return false;
    }
    return true;
}

} // namespace

int TTermClasses::ClassOf(QStringView word) {
    const quint32 hash = quint32(qHash(word));
    const size_t mask = FSlots.size() - 1;
    size_t at = hash & mask;
    for (; FSlots[at].Class >= 0; at = (at + 1) & mask) {
        const TSlot& slot = FSlots[at];
        if (slot.Hash == hash && slot.Len == quint32(word.size()) &&
            std::equal(word.utf16(), word.utf16() + word.size(), FChars.data() + slot.Pos))
            return slot.Class;
    }
    const QByteArray key = CollationKey(word);
    const int cls = ClassOfKey(std::string_view(key.constData(), size_t(key.size())));
    FSlots[at] = {hash, quint32(FChars.size()), quint32(word.size()), cls};
    FChars.insert(FChars.end(), word.utf16(), word.utf16() + word.size());
    // Filled up to three quarters: a smaller table misses the caches (and the TLB) less
    // often, which costs more than the slightly longer runs of the probes.
    if (++FUsed * 4 > FSlots.size() * 3)
        growTable(FSlots);
    return cls;
}

int TTermClasses::ClassOfKey(std::string_view key) {
    const quint32 hash = quint32(qHashBits(key.data(), key.size()));
    const size_t mask = FKeySlots.size() - 1;
    size_t at = hash & mask;
    for (; FKeySlots[at].Class >= 0; at = (at + 1) & mask) {
        const TKeySlot& slot = FKeySlots[at];
        if (slot.Hash == hash && KeyOf(slot.Class) == key)
            return slot.Class;
    }
    const int cls = Count();
    FKeySlots[at] = {hash, cls};
    FKeyBytes.insert(FKeyBytes.end(), key.begin(), key.end());
    FKeyStart.push_back(FKeyBytes.size());
    if (size_t(Count()) * 4 > FKeySlots.size() * 3)
        growTable(FKeySlots);
    return cls;
}

bool TStopwords::Load(const QString& path, TTermClasses& classes) {
    FClasses.clear();
    QByteArray bytes;
    if (!ReadWholeFile(path, bytes).ok())
        return false;
    bytes.replace('\r', '\n');
    for (const QByteArray& line : bytes.split('\n')) {
        const QByteArray word = TrimAnsi(line);
        if (!word.isEmpty())
            FClasses.insert(classes.ClassOf(FromAnsi(word)));
    }
    return true;
}

void TStopwords::Add(const QString& word, TTermClasses& classes) {
    FClasses.insert(classes.ClassOf(word));
}

bool TStopwords::Contains(QStringView word, TTermClasses& classes) const {
    if (FClasses.isEmpty())
        return false;
    if (ansiSafe(word))
        return FClasses.contains(classes.ClassOf(word));
    return FClasses.contains(classes.ClassOf(FromAnsi(ToAnsi(word))));
}

// Room for `units` code units that stays where it is until the next Extract; Commit()
// then takes the part written.
char16_t* TTermExtractor::Reserve(qsizetype units) {
    while (FChunk < FChunks.size() && FUsed + units > FChunks[FChunk].Size) {
        ++FChunk;
        FUsed = 0;
    }
    if (FChunk == FChunks.size()) {
        const qsizetype size = std::max(units, kChunkUnits);
        FChunks.push_back({std::make_unique<char16_t[]>(size_t(size)), size});
        FUsed = 0;
    }
    return FChunks[FChunk].Units.get() + FUsed;
}

QStringView TTermExtractor::Commit(const char16_t* begin, const char16_t* end) {
    FUsed += end - begin;
    return QStringView(begin, end - begin);
}

QStringView TTermExtractor::Keep(QStringView text) {
    char16_t* to = Reserve(text.size());
    return Commit(to, std::copy(text.utf16(), text.utf16() + text.size(), to));
}

namespace {

// The text with each `open`, the first `close` after it and what lies between left out,
// as DeleteEnclosed does it, written to `to`; returns the end of what was written.
char16_t* copyWithoutEnclosed(QStringView text, char16_t open, char16_t close, char16_t* to) {
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype from = text.indexOf(QChar(open), i);
        const qsizetype till = from < 0 ? -1 : text.indexOf(QChar(close), from + 1);
        if (till < 0) {
            const QStringView rest = text.sliced(i);
            return std::copy(rest.utf16(), rest.utf16() + rest.size(), to);
        }
        const QStringView kept = text.sliced(i, from - i);
        to = std::copy(kept.utf16(), kept.utf16() + kept.size(), to);
        i = till + 1;
    }
    return to;
}

} // namespace

int TTermExtractor::Find(int cls) const {
    for (size_t i = 0; i < FHits.size(); ++i) {
        if (FHits[i].Class == cls)
            return int(i);
    }
    return -1;
}

// Index files hold headwords of at most 255 bytes. Terms are cut before they are compared,
// so that two long words that agree in their first 255 bytes become one headword instead
// of two equal records out of order.
QStringView TTermExtractor::Cut(QStringView word) {
    if (word.size() * 3 <= kMaxTermBytes)
        return word;
    const QByteArray utf8 = word.toUtf8();
    if (utf8.size() <= kMaxTermBytes)
        return word;
    return Keep(QString::fromUtf8(CutUtf8(utf8, kMaxTermBytes)));
}

// The class of the word as a term (cut) and whether the word is a stopword. The class of
// the term answers the stopword question too when the term is the whole word and reads
// the same in Windows-1252, as nearly every word does: one lookup instead of two.
int TTermExtractor::ClassOfStopword(QStringView word, QStringView& cut, bool& stopword) {
    cut = Cut(word);
    const int cls = FClasses.ClassOf(cut);
    stopword = cut.size() == word.size() && ansiSafe(word) ? FStopwords.ContainsClass(cls)
                                                           : FStopwords.Contains(word, FClasses);
    return cls;
}

// A word outside parentheses: a term met again takes the stronger rank, unless the new
// rank is 0; the first form stays.
void TTermExtractor::AddWord(QStringView word, quint8 rank) {
    word = Cut(word);
    AddWord(word, rank, FClasses.ClassOf(word));
}

void TTermExtractor::AddWord(QStringView word, quint8 rank, int cls) {
    const int at = Find(cls);
    if (at < 0)
        FHits.push_back({word, rank, cls});
    else if (rank != 0 && rank < FHits[size_t(at)].Rank)
        FHits[size_t(at)].Rank = rank;
}

void TTermExtractor::AddParenthesised(QStringView word) {
    // Parentheses gone and ';' a blank, then [...] left out.
    char16_t* plain = Reserve(word.size());
    char16_t* end = plain;
    for (const QChar c : word) {
        if (c != u'(' && c != u')')
            *end++ = c == u';' ? u' ' : c.unicode();
    }
    Commit(plain, end);
    char16_t* to = Reserve(end - plain);
    const QStringView kept =
        Commit(to, copyWithoutEnclosed(QStringView(plain, end - plain), u'[', u']', to));
    TViews pieces;
    splitTopLevel(kept, u' ', pieces);
    for (const QStringView piece : pieces) {
        const QChar last = piece.back();
        // A word in parentheses: added only if new; an existing term keeps its rank.
        if (piece.size() > 2 && last != u'.' && last != u'-') {
            QStringView cut;
            bool stopword;
            const int cls = ClassOfStopword(piece, cut, stopword);
            if (Find(cls) < 0)
                FHits.push_back({cut, quint8(stopword ? 0 : 9), cls});
        }
    }
}

void TTermExtractor::AddWords(QStringView item, qsizetype i, qsizetype nI, qsizetype a) {
    if (item.contains(u'{')) {
        char16_t* to = Reserve(item.size());
        item = Commit(to, copyWithoutEnclosed(item, u'{', u'}', to));
    }
    TViews words;
    splitTopLevel(TrimView(item), u' ', words);
    const qsizetype nW = words.size();
    for (qsizetype w = 0; w < nW; ++w) {
        const QStringView word = words[w];
        if (word.startsWith(u'(')) {
            AddParenthesised(word);
            continue;
        }
        if (skipped(word))
            continue;
        // The first rule that applies gives the rank.
        quint8 rank;
        if (nI == 1 && nW == 1)
            rank = a == 0 ? 1 : 2;
        else if (a == 0 && w == 1 && nI == 1 && nW == 3 && words[0] == u"to" &&
                 words[2].startsWith(u'{'))
            rank = 2;
        else if (a == 0 && w == 1 && nI == 1 && nW == 2 && words[0] == u"to")
            rank = 2;
        else if (w == 0 && (nW == 1 || (nW == 2 && words[1].startsWith(u'{'))))
            rank = 3;
        else if (a == 0 && i == 0 && w == 0)
            rank = 4;
        else if (i == 0 && w == 0)
            rank = 5;
        else if (w == 0)
            rank = (words[1].startsWith(u'[') || words[1].startsWith(u'{')) ? 6 : 7;
        else {
            QStringView cut;
            bool stopword;
            const int cls = ClassOfStopword(word, cut, stopword);
            AddWord(cut, stopword ? 0 : 8, cls);
            continue;
        }
        AddWord(word, rank);
    }
}

const std::vector<TTermExtractor::THit>& TTermExtractor::Extract(QStringView side) {
    FHits.clear();
    FChunk = 0;
    FUsed = 0;
    // Delete the listed characters and turn "/" and ":" into blanks, in one pass.
    FText.resize(side.size());
    QChar* const text = FText.data();
    qsizetype n = 0;
    for (const QChar c : side) {
        if (deleted(c.unicode()))
            continue;
        text[n++] = (c == u'/' || c == u':') ? QChar(u' ') : c;
    }
    FText.truncate(n);

    TViews alternatives, items;
    splitTopLevel(FText, u'|', alternatives);
    for (qsizetype a = 0; a < alternatives.size(); ++a) {
        splitTopLevel(alternatives[a], u';', items);
        const qsizetype nI = items.size();
        for (qsizetype i = 0; i < nI; ++i)
            AddWords(items[i], i, nI, a);
    }
    return FHits;
}

TTermRecArray ExtractTerms(const QString& side, const TStopwords& stopwords,
                           TTermClasses& classes) {
    TTermExtractor extractor(stopwords, classes);
    TTermRecArray terms;
    for (const TTermExtractor::THit& hit : extractor.Extract(side))
        terms.push_back({hit.Term.toString(), hit.Rank, hit.Class});
    return terms;
}

} // namespace quillet
