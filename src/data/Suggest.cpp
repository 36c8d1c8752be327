// SPDX-License-Identifier: GPL-2.0-or-later
#include "Suggest.h"

#include "Collation.h"
#include "DictDB.h"
#include "DictFormat.h"
#include "TextTools.h"
#include "WordList.h"

#include <algorithm>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <string_view>

namespace quillet {

namespace {

// Longer texts get no typo search: no headword of that length is a typo of them that
// the lookup's prefix match would not already show.
constexpr int kMaxTypoLength = 48;
// The entries' form lists: pieces after the first that are forms of it.
constexpr int kMaxFormPieces = 6;

using THashed = std::pair<quint64, quint32>; // key hash, headword index

quint64 hashOf(QStringView key) {
    return quint64(qHash(key, size_t(0x9E3779B97F4A7C15ull)));
}

QString spellingKey(QStringView text, bool transliterate);

char16_t lowerUnit(char16_t c) {
    if (c < 0x80)
        return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
    return QChar::toLower(c);
}

// A headword that can be typed as one word: no blank or control inside, a letter in it.
bool isWord(QStringView w) {
    if (w.isEmpty() || w.size() > kMaxTypoLength)
        return false;
    bool letter = false;
    for (QChar c : w) {
        if (c.unicode() < 33)
            return false;
        letter = letter || c.isLetter();
    }
    return letter;
}

// The spelling key: case, accents and ß/ss disregarded; ä, ö, ü as a, o, u or, with
// `transliterate`, as ae, oe, ue (how they are typed without the keys).
QString spellingKey(QStringView text, bool transliterate) {
    QString key;
    key.reserve(text.size() + 4);
    for (QChar ch : text) {
        char16_t c = lowerUnit(ch.unicode());
        if (c < 0x80) {
            key += QChar(c);
            continue;
        }
        switch (c) {
        case u'ß':
            key += u"ss";
            continue;
        case u'ä':
        case u'ö':
        case u'ü':
            key += QChar(c == u'ä' ? u'a' : c == u'ö' ? u'o' : u'u');
            if (transliterate)
                key += u'e';
            continue;
        case u'æ':
            key += u"ae";
            continue;
        case u'œ':
            key += u"oe";
            continue;
        default:
            break;
        }
        const QChar q(c);
        if (q.category() == QChar::Mark_NonSpacing)
            continue;
        if (q.decompositionTag() == QChar::Canonical) {
            const QString d = q.decomposition();
            key += d.isEmpty() ? q : d.front();
            continue;
        }
        key += q;
    }
    return key;
}

// The spelling key's hash, computed as the key is, without building it: FNV-1a over the
// key's code units.
quint64 spellingHash(QStringView text, bool transliterate) {
    quint64 h = 0xcbf29ce484222325ull;
    auto put = [&](char16_t u) { h = (h ^ u) * 0x100000001b3ull; };
    for (QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c < 0x80) {
            put(c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c);
            continue;
        }
        for (QChar k : spellingKey(QStringView(&ch, 1), transliterate))
            put(k.unicode());
    }
    return h;
}

bool hasUmlaut(QStringView text) {
    for (QChar c : text)
        if (const char16_t u = lowerUnit(c.unicode()); u == u'ä' || u == u'ö' || u == u'ü')
            return true;
    return false;
}

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

// The form lists of one entry: "Haus {n} | Häuser {pl} :: house | houses" or "gehen {vi}
// | gehend | gegangen | er/sie geht | ich/er/sie ging :: to go | going | gone | he/she goes
// | I/he/she went". A piece after the first is a form of the first when language 1 marks
// it as the plural of a noun, or when it follows a verb or adjective; both sides keep the
// same pieces in the same places, so language 1's marks stand for language 2 too. Within
// such a pair of pieces, items (cut at ';') pair up in order, and a pair counts when it
// differs in exactly one word: that word of the later piece is a form of that word of
// the first. Calls found(side, form, base) for each.
template <typename F> void entryForms(QStringView side1, QStringView side2, F&& found) {
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

} // namespace

QString SuggestionKindName(TSuggestionKind kind) {
    switch (kind) {
    case TSuggestionKind::OtherLanguage:
        return QStringLiteral("other-language");
    case TSuggestionKind::Spelling:
        return QStringLiteral("spelling");
    case TSuggestionKind::Form:
        return QStringLiteral("form");
    case TSuggestionKind::Typo:
        break;
    }
    return QStringLiteral("typo");
}

// The index of one direction. Headwords keep the list's order (ascending under
// CompareText), so exact matches are a binary search; the typo search walks the words
// sorted by their lower-case code units as an implicit trie (all words with a common
// beginning are neighbours).
struct TSuggester::TDirection {
    QString Text;               // every headword, one after the other
    std::vector<quint32> Start; // headword i is Text[Start[i], Start[i + 1])
    std::vector<quint16> Refs;  // references per headword (at most 65535), how common
    std::vector<quint8> Rank;   // the headword's strongest rank (0: stopword only)
    std::vector<quint32> Trie;  // the one-word headwords in lower-case code-unit order
    std::vector<THashed> Spell; // spelling keys
    std::vector<THashed> Forms; // lower-case form -> base headword
    std::unique_ptr<TStemmer> Stemmer;

    int Count() const { return int(Start.size()) - 1; }
    QStringView Word(quint32 i) const {
        return QStringView(Text).sliced(Start[i], Start[i + 1] - Start[i]);
    }
    qint64 Bytes() const {
        return Text.capacity() * 2 + qint64(Start.capacity()) * 4 + qint64(Refs.capacity()) * 2 +
               qint64(Rank.capacity()) + qint64(Trie.capacity()) * 4 +
               qint64(Spell.capacity() + Forms.capacity()) * 16;
    }

    // The headword equal to the text under CompareText, or -1.
    int Find(QStringView text) const {
        int lo = 0, hi = Count();
        while (lo < hi) {
            const int mid = lo + (hi - lo) / 2;
            if (CompareText(Word(quint32(mid)), text) < 0)
                lo = mid + 1;
            else
                hi = mid;
        }
        return lo < Count() && SameText(Word(quint32(lo)), text) ? lo : -1;
    }

    // Where the one-word lookup lands: the first headword that begins with the text, else
    // the nearest one before it, else the first.
    int Landing(QStringView text) const {
        int lo = 0, hi = Count();
        while (lo < hi) {
            const int mid = lo + (hi - lo) / 2;
            if (CompareText(Word(quint32(mid)), text) < 0)
                lo = mid + 1;
            else
                hi = mid;
        }
        if (lo < Count() && StartsText(text, Word(quint32(lo))))
            return lo;
        return qMax(0, lo - 1);
    }

    // The first one-word headword whose lower case is `lower`, or -1.
    int FindLower(QStringView lower) const {
        auto less = [&](quint32 word, QStringView key) {
            return compareLower(Word(word), key) < 0;
        };
        auto it = std::lower_bound(Trie.begin(), Trie.end(), lower, less);
        return it != Trie.end() && compareLower(Word(*it), lower) == 0 ? int(*it) : -1;
    }

    static int compareLower(QStringView a, QStringView b) {
        const qsizetype n = qMin(a.size(), b.size());
        for (qsizetype i = 0; i < n; ++i) {
            const char16_t x = lowerUnit(a[i].unicode()), y = lowerUnit(b[i].unicode());
            if (x != y)
                return x < y ? -1 : 1;
        }
        return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
    }

    void Build(const TWordList& list);
    void Typos(QStringView text, std::vector<std::pair<int, quint32>>& found) const;
};

void TSuggester::TDirection::Build(const TWordList& list) {
    const int n = list.Count();
    Start.reserve(size_t(n) + 1);
    Refs.reserve(size_t(n));
    Rank.reserve(size_t(n));
    for (int i = 0; i < n; ++i) {
        Start.push_back(quint32(Text.size()));
        Text += list.TextAt(i);
        Refs.push_back(quint16(qMin(list.RefCountAt(i), 65535)));
        Rank.push_back(list.FirstRankAt(i));
    }
    Start.push_back(quint32(Text.size()));
    Text.squeeze();

    QString lowered; // the lower case of every one-word headword, for sorting only
    std::vector<std::pair<std::u16string_view, quint32>> order;
    std::vector<quint32> offsets;
    for (int i = 0; i < n; ++i) {
        const QStringView w = Word(quint32(i));
        if (!isWord(w))
            continue;
        offsets.push_back(quint32(lowered.size()));
        for (QChar c : w)
            lowered += QChar(lowerUnit(c.unicode()));
        order.emplace_back(std::u16string_view(), quint32(i));
        Spell.emplace_back(spellingHash(w, false), quint32(i));
        if (hasUmlaut(w))
            Spell.emplace_back(spellingHash(w, true), quint32(i));
    }
    offsets.push_back(quint32(lowered.size()));
    for (size_t k = 0; k < order.size(); ++k)
        order[k].first =
            std::u16string_view(reinterpret_cast<const char16_t*>(lowered.utf16()) + offsets[k],
                                offsets[k + 1] - offsets[k]);
    std::sort(order.begin(), order.end());
    Trie.reserve(order.size());
    for (const auto& [key, word] : order)
        Trie.push_back(word);
    std::sort(Spell.begin(), Spell.end());
    Spell.shrink_to_fit();
}

// Collects the one-word headwords within the allowed edits of the text, with their
// distance (restricted Damerau-Levenshtein: a swap of neighbours is one edit).
void TSuggester::TDirection::Typos(QStringView text,
                                   std::vector<std::pair<int, quint32>>& found) const {
    const int m = int(text.size());
    if (m == 0 || m > kMaxTypoLength || Trie.empty())
        return;
    const int limit = m >= 8 ? 2 : 1;
    std::u16string q(size_t(m), u'\0');
    for (int j = 0; j < m; ++j)
        q[size_t(j)] = lowerUnit(text[j].unicode());
    const int maxDepth = m + limit;
    const int width = m + 1;
    std::vector<int> rows(size_t(maxDepth + 1) * size_t(width));
    for (int j = 0; j <= m; ++j)
        rows[size_t(j)] = j;

    auto unitAt = [&](quint32 t, int d) {
        return lowerUnit(Text[qsizetype(Start[Trie[t]]) + d].unicode());
    };
    auto length = [&](quint32 t) { return int(Start[Trie[t] + 1] - Start[Trie[t]]); };

    // [lo, hi) share their first `depth` units; rows[depth] is the distance row there.
    auto walk = [&](auto&& self, quint32 lo, quint32 hi, int depth) -> void {
        const int* row = &rows[size_t(depth) * size_t(width)];
        quint32 i = lo;
        while (i < hi && length(i) == depth) {
            if (row[m] <= limit)
                found.emplace_back(row[m], Trie[i]);
            ++i;
        }
        if (depth >= maxDepth)
            return;
        while (i < hi) {
            const char16_t c = unitAt(i, depth);
            quint32 a = i + 1, b = hi; // first of [i+1, hi) whose unit at depth differs
            while (a < b) {
                const quint32 mid = a + (b - a) / 2;
                if (unitAt(mid, depth) == c)
                    a = mid + 1;
                else
                    b = mid;
            }
            int* next = &rows[size_t(depth + 1) * size_t(width)];
            next[0] = depth + 1;
            int best = next[0];
            const char16_t before = depth > 0 ? unitAt(i, depth - 1) : 0;
            for (int j = 1; j <= m; ++j) {
                int v = qMin(row[j] + 1, next[j - 1] + 1);
                v = qMin(v, row[j - 1] + (q[size_t(j - 1)] == c ? 0 : 1));
                if (depth > 0 && j > 1 && q[size_t(j - 1)] == before && q[size_t(j - 2)] == c)
                    v = qMin(v, rows[size_t(depth - 1) * size_t(width) + size_t(j - 2)] + 1);
                next[j] = v;
                best = qMin(best, v);
            }
            if (best <= limit)
                self(self, i, a, depth + 1);
            i = a;
        }
    };
    walk(walk, 0, quint32(Trie.size()), 0);
}

TSuggester::TSuggester() = default;
TSuggester::~TSuggester() = default;

bool TSuggester::IsBuilt() const {
    return FDirections[0] && FDirections[1];
}

TStatus TSuggester::Build(const TDictDB& db, const TSuggestOptions& options) {
    QElapsedTimer timer;
    timer.start();
    FDirections[0].reset();
    FDirections[1].reset();
    FStats = {};
    std::unique_ptr<TDirection> built[2];
    for (int d = 0; d < 2; ++d) {
        built[d] = std::make_unique<TDirection>();
        if (db.IndexLoaded(d)) {
            built[d]->Build(db.WordList(d));
        } else {
            TWordList list;
            if (TStatus s = list.LoadFromFile(db.AppDir() + db.Language(d).IndexFile); !s.ok())
                return s;
            built[d]->Build(list);
        }
        FStats.ListsMs += timer.restart();
        if (!options.HunspellFolder.isEmpty())
            built[d]->Stemmer = TStemmer::ForLanguage(db.Language(d).Code, options.HunspellFolder);
        FStats.StemsMs += timer.restart();
        FStats.Words[d] = int(built[d]->Trie.size());
        FStats.Stems[d] = built[d]->Stemmer != nullptr;
    }
    if (options.EntryForms) {
        QFile file(db.AppDir() + db.DataFile());
        if (!file.open(QIODevice::ReadOnly))
            return TStatus::NotFound(db.DataFile());
        const QByteArray bytes = file.readAll();
        QString lower;
        auto found = [&](int side, const QString& form, const QString& base) {
            TDirection& dir = *built[side];
            lower.resize(base.size());
            for (qsizetype i = 0; i < base.size(); ++i)
                lower[i] = QChar(lowerUnit(base[i].unicode()));
            const int b = dir.FindLower(lower);
            if (b < 0 || !isWord(form))
                return;
            lower.resize(form.size());
            for (qsizetype i = 0; i < form.size(); ++i)
                lower[i] = QChar(lowerUnit(form[i].unicode()));
            dir.Forms.emplace_back(hashOf(lower), quint32(b));
        };
        // Entries follow the header without gaps, each a 16-bit length and its UTF-8 text;
        // only those whose language 1 side has a form list are decoded.
        for (qsizetype at = kHeaderSize; at + 2 <= bytes.size();) {
            const qint16 length = qint16(quint8(bytes[at]) | quint8(bytes[at + 1]) << 8);
            if (length < 0 || at + 2 + length > bytes.size())
                break;
            const QByteArrayView entry(bytes.constData() + at + 2, length);
            at += 2 + length;
            const qsizetype sides = entry.indexOf(" :: ");
            if (sides < 0)
                continue;
            const QByteArrayView left = entry.first(sides);
            if (!left.contains('|') ||
                !(left.contains("{pl}") || left.contains("{v") || left.contains("{adj}")))
                continue;
            const QString text = QString::fromUtf8(entry);
            const qsizetype cut = text.indexOf(u" :: ");
            entryForms(QStringView(text).first(cut), QStringView(text).sliced(cut + 4), found);
        }
        for (int d = 0; d < 2; ++d) {
            std::vector<THashed>& forms = built[d]->Forms;
            std::sort(forms.begin(), forms.end());
            forms.erase(std::unique(forms.begin(), forms.end()), forms.end());
            forms.shrink_to_fit();
            FStats.Forms[d] = int(forms.size());
        }
        FStats.FormsMs = timer.restart();
    }
    for (int d = 0; d < 2; ++d) {
        FStats.Bytes += built[d]->Bytes();
        FDirections[d] = std::move(built[d]);
    }
    FStats.BuildMs = FStats.ListsMs + FStats.StemsMs + FStats.FormsMs;
    return TStatus::Ok();
}

TSuggestionArray TSuggester::Suggest(QStringView text, int direction, QStringView shown) const {
    TSuggestionArray out;
    if (!IsBuilt() || text.isEmpty() || (direction != 0 && direction != 1))
        return out;
    for (QChar c : text)
        if (c.unicode() < 33)
            return out;
    const TDirection& here = *FDirections[direction];
    const TDirection& other = *FDirections[1 - direction];
    if (here.Count() == 0)
        return out;
    const QString landing =
        shown.isNull() ? here.Word(quint32(here.Landing(text))).toString() : shown.toString();
    auto add = [&](QStringView word, TSuggestionKind kind, int dir) {
        if (int(out.size()) >= kMaxSuggestions)
            return;
        if (dir == direction && (SameText(word, landing) || SameText(word, text)))
            return;
        for (const TSuggestion& s : out)
            if (SameText(s.Word, word))
                return;
        out.push_back({word.toString(), kind, dir});
    };
    auto byRefs = [&](std::vector<quint32>& words) {
        std::stable_sort(words.begin(), words.end(),
                         [&](quint32 a, quint32 b) { return here.Refs[a] > here.Refs[b]; });
    };
    // A headword that only occurs inside phrases and parentheses (ranks 6 to 9: "Fussball"
    // in an example sentence) or as a stopword does not stand for what the user meant; one
    // that an item of an entry is about (ranks 1 to 5) does.
    const int found = here.Find(text);
    const bool headword =
        found >= 0 && here.Rank[size_t(found)] >= 1 && here.Rank[size_t(found)] <= 5;

    if (!headword) {
        std::vector<quint32> words;
        for (bool transliterate : {false, true}) {
            const QString key = spellingKey(text, transliterate);
            const auto range = std::equal_range(
                here.Spell.begin(), here.Spell.end(), THashed(spellingHash(text, transliterate), 0),
                [](const THashed& a, const THashed& b) { return a.first < b.first; });
            for (auto it = range.first; it != range.second; ++it) {
                const QStringView w = here.Word(it->second);
                if ((spellingKey(w, false) == key || spellingKey(w, true) == key) &&
                    std::find(words.begin(), words.end(), it->second) == words.end())
                    words.push_back(it->second);
            }
        }
        byRefs(words);
        for (quint32 w : words)
            add(here.Word(w), TSuggestionKind::Spelling, direction);
    }

    {
        std::vector<quint32> words;
        QString lower;
        for (QChar c : text)
            lower += QChar(lowerUnit(c.unicode()));
        const auto range =
            std::equal_range(here.Forms.begin(), here.Forms.end(), THashed(hashOf(lower), 0),
                             [](const THashed& a, const THashed& b) { return a.first < b.first; });
        for (auto it = range.first; it != range.second; ++it)
            words.push_back(it->second);
        byRefs(words);
        for (quint32 w : words)
            add(here.Word(w), TSuggestionKind::Form, direction);
        if (here.Stemmer) {
            QStringList stems = here.Stemmer->Stems(text);
            if (stems.isEmpty() && text.front().isLower()) // German nouns typed in lower case
                stems = here.Stemmer->Stems(QString(text.front().toUpper()).append(text.sliced(1)));
            for (const QString& stem : stems)
                if (const int w = here.Find(stem); w >= 0)
                    add(here.Word(quint32(w)), TSuggestionKind::Form, direction);
        }
    }

    if (!headword) {
        if (const int w = other.Find(text); w >= 0 && isWord(other.Word(quint32(w))))
            add(other.Word(quint32(w)), TSuggestionKind::OtherLanguage, 1 - direction);
    }

    if (!headword && int(out.size()) < kMaxSuggestions) {
        std::vector<std::pair<int, quint32>> found;
        here.Typos(text, found);
        std::sort(found.begin(), found.end(), [&](const auto& a, const auto& b) {
            if (a.first != b.first)
                return a.first < b.first;
            if (here.Refs[a.second] != here.Refs[b.second])
                return here.Refs[a.second] > here.Refs[b.second];
            return a.second < b.second;
        });
        for (const auto& [distance, w] : found)
            if (distance > 0)
                add(here.Word(w), TSuggestionKind::Typo, direction);
    }
    return out;
}

} // namespace quillet
