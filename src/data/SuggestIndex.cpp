// SPDX-License-Identifier: GPL-2.0-or-later
#include "SuggestIndex.h"

#include "Collation.h"
#include "DictFormat.h"
#include "EntryForms.h"
#include "FileIO.h"
#include "WordFold.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <latch>
#include <QElapsedTimer>
#include <QFile>
#include <QStringDecoder>
#include <thread>

namespace quillet {

namespace {

constexpr char kMagic[8] = {'Q', 'S', 'U', 'G', 'G', 'E', 'S', 'T'};
// Read in the machine's own byte order: a file written on a machine of the other order
// shows another number here and is refused like one of another version.
constexpr quint32 kVersion = 1;
constexpr qsizetype kFileHeaderSize = 256;
constexpr qsizetype kTdbHeaderAt = 48;
constexpr int kCounts = 8;
// Longer headwords get no key: a typo search for a text that long is not run, and the
// spelling of a text that long is what the lookup's prefix match already shows.
constexpr int kMaxKeyedLength = 48;
// The near search's rows: keys a little longer than the longest keyed headword (ß -> ss).
constexpr int kMaxNearKey = 64;
constexpr int kMaxNearLimit = 2;

qsizetype padded(qsizetype n) {
    return (n + 7) & ~qsizetype(7);
}

quint64 loadU64(const char* p) {
    quint64 v;
    std::memcpy(&v, p, 8);
    return v;
}

// The bytes of a mapped file the checks read before they let those pages go again.
constexpr qsizetype kCheckStep = qsizetype(1) << 20;

// Four interleaved multiply-xor lanes over 8-byte words: any changed byte changes the sum,
// and it runs at memory speed, so every read can check the whole file. Taken a step at a
// time, so that the reader can let the pages behind it go and the file is never resident
// whole: `passed` gets the number of bytes summed so far after each step.
quint64 checksumOf(const char* data, qsizetype size,
                   const std::function<void(qsizetype)>& passed = {}) {
    quint64 lanes[4] = {0x243F6A8885A308D3ull, 0x13198A2E03707344ull, 0xA4093822299F31D0ull,
                        0x082EFA98EC4E6C89ull};
    auto mix = [](quint64 h, quint64 w) {
        h = (h ^ w) * 0x9E3779B97F4A7C15ull;
        return h ^ (h >> 31);
    };
    constexpr qsizetype kStepWords = kCheckStep / 8; // a multiple of the four lanes
    const qsizetype words = size / 8;
    qsizetype i = 0;
    while (i + 4 <= words) {
        const qsizetype stop = i + std::min(kStepWords, (words - i) / 4 * 4);
        for (; i < stop; i += 4)
            for (int l = 0; l < 4; ++l)
                lanes[l] = mix(lanes[l], loadU64(data + (i + l) * 8));
        if (passed)
            passed(i * 8);
    }
    for (; i < words; ++i)
        lanes[0] = mix(lanes[0], loadU64(data + i * 8));
    quint64 tail = 0;
    std::memcpy(&tail, data + words * 8, size_t(size - words * 8));
    lanes[1] = mix(lanes[1], tail ^ quint64(size));
    quint64 sum = 0;
    for (quint64 lane : lanes)
        sum = mix(sum, lane);
    return sum;
}

// A headword that can be typed as one word: no blank or control inside, a letter in it.
bool isKeyedWord(QStringView w) {
    if (w.isEmpty() || w.size() > kMaxKeyedLength)
        return false;
    bool letter = false;
    for (QChar c : w) {
        if (c.unicode() < 33)
            return false;
        letter = letter || c.isLetter();
    }
    return letter;
}

bool sameLower(QStringView a, QStringView b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (LowerUnit(a[i].unicode()) != LowerUnit(b[i].unicode()))
            return false;
    return true;
}

// One direction while it is being made: the arrays of the file.
struct TMade {
    std::vector<char16_t> Text;
    std::vector<quint32> Start;
    std::vector<quint16> Refs;
    std::vector<quint8> Rank;
    std::vector<char16_t> Units;
    std::vector<quint32> First;
    std::vector<quint8> Shortest;
    std::vector<quint8> Longest;
    std::vector<quint32> KeyNodes;
    std::vector<quint32> KeyFirst;
    std::vector<quint32> Keyed;
    std::vector<std::pair<quint64, quint32>> Forms;

    TSuggestDirection View() const {
        TSuggestDirection d;
        d.Text = Text;
        d.Start = Start;
        d.Refs = Refs;
        d.Rank = Rank;
        d.Units = Units;
        d.First = First;
        d.Shortest = Shortest;
        d.Longest = Longest;
        d.KeyNodes = KeyNodes;
        d.KeyFirst = KeyFirst;
        d.Keyed = Keyed;
        return d;
    }
};

// The records of an index file (WordList.h): headword, number of references, strongest
// rank.
TStatus readHeadwords(QByteArrayView bytes, int language, TMade& made) {
    const TStatus damaged = TStatus::Error(
        QStringLiteral("The headword index of language %1 is damaged: it ends inside a record")
            .arg(language));
    const char* p = bytes.data();
    const qsizetype size = bytes.size();
    // Decoded straight into the text as QString::fromUtf8 would: one byte-order mark at the
    // start of a headword left out, any other kept.
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    for (qsizetype pos = 0; pos < size;) {
        if (pos + 3 > size)
            return damaged;
        const int length = uchar(p[pos]);
        const int refs = ReadU16(p + pos + 1);
        const qsizetype end = pos + 3 + length + 5 * qsizetype(refs);
        if (refs == 0 || end > size)
            return damaged;
        made.Start.push_back(quint32(made.Text.size()));
        QByteArrayView word(p + pos + 3, length);
        if (word.startsWith("\xEF\xBB\xBF"))
            word = word.sliced(3);
        const size_t at = made.Text.size();
        made.Text.resize(at + size_t(word.size()));
        const QChar* const wordEnd =
            utf8.appendToBuffer(reinterpret_cast<QChar*>(made.Text.data() + at), word);
        made.Text.resize(size_t(wordEnd - reinterpret_cast<const QChar*>(made.Text.data())));
        made.Refs.push_back(quint16(refs));
        made.Rank.push_back(quint8(p[pos + 3 + length + 4]));
        pos = end;
    }
    made.Start.push_back(quint32(made.Text.size()));
    return TStatus::Ok();
}

// The spelling keys of some of the one-word headwords, sorted by key, then headword. The
// keys' first four code units, held inline, decide most comparisons without a look at the
// keys (no key holds a zero unit).
struct TKey {
    quint64 Prefix;
    std::u16string_view Key;
    quint32 Word;
};
struct TKeys {
    std::u16string Units; // the keys' units one after the other
    std::vector<TKey> Order;
};

bool keyBefore(const TKey& a, const TKey& b) {
    if (a.Prefix != b.Prefix)
        return a.Prefix < b.Prefix;
    return a.Key < b.Key;
}

void makeKeys(const TSuggestDirection& words, quint32 from, quint32 to, TKeys& made) {
    std::u16string& keys = made.Units;
    std::vector<std::pair<quint32, quint32>> spans; // key start, headword
    for (quint32 i = from; i < to; ++i) {
        const QStringView w = words.Word(i);
        if (!isKeyedWord(w))
            continue;
        const size_t at = keys.size();
        AppendSpellingKey(w, false, keys);
        if (keys.size() > at)
            spans.emplace_back(quint32(at), i);
    }
    std::vector<TKey>& order = made.Order;
    order.reserve(spans.size());
    for (size_t s = 0; s < spans.size(); ++s) {
        const size_t end = s + 1 < spans.size() ? spans[s + 1].first : keys.size();
        const std::u16string_view key =
            std::u16string_view(keys).substr(spans[s].first, end - spans[s].first);
        quint64 prefix = 0;
        for (size_t i = 0; i < 4; ++i)
            prefix = prefix << 16 | (i < key.size() ? key[i] : 0);
        order.push_back({prefix, key, spans[s].second});
    }
    // Merged, not partitioned: the keys come nearly in order (the headwords' order), which
    // drives quicksort's pivots astray into its heapsort fallback. The headwords are in
    // ascending order already, so a stable sort by key leaves equal keys by headword.
    std::stable_sort(order.begin(), order.end(), keyBefore);
}

// The trie of the one-word headwords' spelling keys, from the sorted keys of the first and
// the second half of the headwords. Made in preorder first (each key adding the nodes below
// its common beginning with the one before), then numbered breadth first, so that the
// children of a node lie side by side and the near search reads them in one sweep rather
// than one cache miss each.
void makeTrie(TMade& made, const TKeys (&halves)[2]) {
    // Merged stably: equal keys stay by headword, the first half's before the second's.
    std::vector<TKey> order(halves[0].Order.size() + halves[1].Order.size());
    std::merge(halves[0].Order.begin(), halves[0].Order.end(), halves[1].Order.begin(),
               halves[1].Order.end(), order.begin(), keyBefore);

    // Preorder: node i's subtree ends where ends[i] says, its first child is i + 1.
    std::vector<char16_t> units;
    std::vector<quint32> ends, keyEnd, keyFirst, keyed;
    std::vector<quint32> path; // the nodes from the root to the last key's end
    std::u16string_view last;
    for (size_t k = 0; k < order.size(); ++k) {
        const std::u16string_view key = order[k].Key;
        const quint32 word = order[k].Word;
        if (k > 0 && key == last) {
            keyed.push_back(word);
            continue;
        }
        size_t common = 0;
        while (common < last.size() && common < key.size() && last[common] == key[common])
            ++common;
        for (; path.size() > common; path.pop_back())
            ends[path.back()] = quint32(units.size());
        for (size_t d = common; d < key.size(); ++d) {
            path.push_back(quint32(units.size()));
            units.push_back(key[d]);
            ends.push_back(0);
        }
        keyEnd.push_back(path.back());
        keyFirst.push_back(quint32(keyed.size()));
        keyed.push_back(word);
        last = key;
    }
    for (; !path.empty(); path.pop_back())
        ends[path.back()] = quint32(units.size());
    keyFirst.push_back(quint32(keyed.size()));

    // Breadth first, the root as node 0: a node's place in the queue is its number.
    const quint32 none = quint32(-1);
    const quint32 count = quint32(units.size()) + 1;
    std::vector<quint32> queue{none}, number(units.size());
    made.Units.assign(count, 0);
    made.First.assign(size_t(count) + 1, count);
    for (quint32 q = 0; q < queue.size(); ++q) {
        const quint32 p = queue[q];
        made.First[q] = quint32(queue.size());
        const quint32 end = p == none ? quint32(units.size()) : ends[p];
        for (quint32 child = p == none ? 0 : p + 1; child < end; child = ends[child]) {
            number[child] = quint32(queue.size());
            made.Units[queue.size()] = units[child];
            queue.push_back(child);
        }
    }
    // The keys by the node where they end, ascending: every key ends at a node of its own.
    std::vector<quint32> keyAt(count, none);
    for (quint32 k = 0; k < keyEnd.size(); ++k)
        keyAt[number[keyEnd[k]]] = k;
    for (quint32 node = 0; node < count; ++node) {
        const quint32 k = keyAt[node];
        if (k == none)
            continue;
        made.KeyNodes.push_back(node);
        made.KeyFirst.push_back(quint32(made.Keyed.size()));
        made.Keyed.insert(made.Keyed.end(), keyed.begin() + keyFirst[k],
                          keyed.begin() + keyFirst[k + 1]);
    }
    made.KeyFirst.push_back(quint32(made.Keyed.size()));

    // The shortest and longest key below each node, children before parents (a child's
    // number is greater than its parent's).
    std::vector<quint8> depth(count, 0), keyEnds(count, 0);
    for (quint32 i = 0; i < count; ++i)
        for (quint32 child = made.First[i]; child < made.First[i + 1]; ++child)
            depth[child] = quint8(std::min(int(depth[i]) + 1, 255));
    for (quint32 node : made.KeyNodes)
        keyEnds[node] = 1;
    made.Shortest.assign(count, 255);
    made.Longest.assign(count, 0);
    for (quint32 i = count; i-- > 0;) {
        for (quint32 child = made.First[i]; child < made.First[i + 1]; ++child) {
            if (keyEnds[child]) {
                made.Shortest[i] = std::min(made.Shortest[i], depth[child]);
                made.Longest[i] = std::max(made.Longest[i], depth[child]);
            }
            made.Shortest[i] = std::min(made.Shortest[i], made.Shortest[child]);
            made.Longest[i] = std::max(made.Longest[i], made.Longest[child]);
        }
    }
}

using TFormList = std::vector<std::pair<quint64, quint32>>;

// Form pairs as pairs of the form's hash and the base's headword: the first headword with
// the base's spelling key that is the base but for case. Only reads the trie, so that two
// threads may each take a part of the pairs.
void findForms(std::span<const TSuggestForms::TPair> pairs, const TSuggestDirection& words,
               TFormList& found) {
    for (const auto& [hash, base] : pairs) {
        for (quint32 w : words.WithKey(SpellingKey(base))) {
            if (sameLower(words.Word(w), base)) {
                found.emplace_back(hash, w);
                break;
            }
        }
    }
}

// The direction's form pairs in the file's order: sorted, each pair once.
void sortForms(TMade& made) {
    std::sort(made.Forms.begin(), made.Forms.end());
    made.Forms.erase(std::unique(made.Forms.begin(), made.Forms.end()), made.Forms.end());
}

void appendBytes(QByteArray& out, const void* data, size_t bytes) {
    out.append(static_cast<const char*>(data), qsizetype(bytes));
    out.append(padded(out.size()) - out.size(), '\0');
}

template <typename T> void appendArray(QByteArray& out, const std::vector<T>& v) {
    appendBytes(out, v.data(), v.size() * sizeof(T));
}

// The bytes appendDirection() appends.
qsizetype directionBytes(const TMade& made) {
    const size_t arrays[] = {sizeof(quint32) * kCounts,
                             made.Text.size() * sizeof(char16_t),
                             made.Start.size() * sizeof(quint32),
                             made.Refs.size() * sizeof(quint16),
                             made.Rank.size(),
                             made.Units.size() * sizeof(char16_t),
                             made.First.size() * sizeof(quint32),
                             made.Shortest.size(),
                             made.Longest.size(),
                             made.KeyNodes.size() * sizeof(quint32),
                             made.KeyFirst.size() * sizeof(quint32),
                             made.Keyed.size() * sizeof(quint32),
                             made.Forms.size() * sizeof(quint64),
                             made.Forms.size() * sizeof(quint32)};
    qsizetype bytes = 0;
    for (size_t array : arrays)
        bytes += padded(qsizetype(array));
    return bytes;
}

void appendDirection(QByteArray& out, const TMade& made) {
    const quint32 counts[kCounts] = {quint32(made.Refs.size()),
                                     quint32(made.Text.size()),
                                     quint32(made.Units.size()),
                                     quint32(made.KeyNodes.size()),
                                     quint32(made.Keyed.size()),
                                     quint32(made.Forms.size()),
                                     0,
                                     0};
    appendBytes(out, counts, sizeof counts);
    appendArray(out, made.Text);
    appendArray(out, made.Start);
    appendArray(out, made.Refs);
    appendArray(out, made.Rank);
    appendArray(out, made.Units);
    appendArray(out, made.First);
    appendArray(out, made.Shortest);
    appendArray(out, made.Longest);
    appendArray(out, made.KeyNodes);
    appendArray(out, made.KeyFirst);
    appendArray(out, made.Keyed);
    std::vector<quint64> hashes;
    std::vector<quint32> bases;
    for (const auto& [hash, base] : made.Forms) {
        hashes.push_back(hash);
        bases.push_back(base);
    }
    appendArray(out, hashes);
    appendArray(out, bases);
}

// The near search: the trie walked depth first with one row of the edit distance table
// per depth (restricted Damerau-Levenshtein: a swap of neighbours is one edit). Only the
// cells within `Limit` of the diagonal can stay within the limit, so only those are
// computed; the others hold Limit + 1. A subtree is left out once its row has no cell
// within the limit.
struct TNearWalk {
    const char16_t* Units;
    const quint32* First;
    quint32 NodeCount; // of Units, Shortest and Longest; First has one more
    const quint8* Shortest;
    const quint8* Longest;
    std::u16string_view Key;
    int Limit;
    int MaxDepth;
    std::vector<std::pair<int, quint32>>* Hits; // distance, node
    quint8 Rows[kMaxNearKey + kMaxNearLimit + 1][kMaxNearKey + 2];

    // The children of `node`, which lies at `depth`, holds `unit` and whose row's smallest
    // cell is `best`.
    void Walk(quint32 node, int depth, char16_t unit, int best) {
        const int m = int(Key.size());
        const quint8 over = quint8(Limit + 1);
        const quint8* row = Rows[depth];
        const quint8* before = depth > 0 ? Rows[depth - 1] : nullptr;
        quint8* next = Rows[depth + 1];
        const int lo = std::max(1, depth + 1 - Limit), hi = std::min(m, depth + 1 + Limit);
        next[0] = quint8(std::min(depth + 1, int(over)));
        if (lo > 1)
            next[lo - 1] = over;
        if (hi < m)
            next[hi + 1] = over;
        // Clamped to the trie: the file's bytes may have changed in place since the checks.
        const quint32 end = std::min(First[node + 1], NodeCount);
        const quint32 first = std::min(First[node], end);
        if (best == Limit && end - first > 2) {
            // Every cell is at the limit or over it: only a child that matches a query unit
            // at a cell on the limit (or swaps with one) can keep a cell within it. Those
            // are looked up among the children, which are sorted; the rest are not visited.
            char16_t units[16]; // at most two for each cell of the band
            int n = 0;
            for (int j = lo; j <= hi; ++j) {
                if (row[j - 1] == Limit)
                    units[n++] = Key[size_t(j - 1)];
                if (before && j >= 2 && Key[size_t(j - 1)] == unit && before[j - 2] < Limit)
                    units[n++] = Key[size_t(j - 2)];
            }
            std::sort(units, units + n);
            n = int(std::unique(units, units + n) - units);
            for (int u = 0; u < n; ++u) {
                const char16_t* it = std::lower_bound(Units + first, Units + end, units[u]);
                if (it != Units + end && *it == units[u])
                    Visit(quint32(it - Units), depth, unit, lo, hi);
            }
            return;
        }
        for (quint32 i = first; i < end; ++i)
            Visit(i, depth, unit, lo, hi);
    }

    // Child i of a node at `depth` that holds `unit`: its row, a hit, its children.
    void Visit(quint32 i, int depth, char16_t unit, int lo, int hi) {
        const int m = int(Key.size());
        const quint8 over = quint8(Limit + 1);
        const quint8* row = Rows[depth];
        const quint8* before = depth > 0 ? Rows[depth - 1] : nullptr;
        quint8* next = Rows[depth + 1];
        const char16_t c = Units[i];
        quint8 best = next[0];
        for (int j = lo; j <= hi; ++j) {
            int v = std::min(row[j], next[j - 1]) + 1;
            v = std::min(v, row[j - 1] + (Key[size_t(j - 1)] == c ? 0 : 1));
            if (before && j >= 2 && Key[size_t(j - 1)] == unit && Key[size_t(j - 2)] == c)
                v = std::min(v, before[j - 2] + 1);
            next[j] = quint8(std::min(v, int(over)));
            best = std::min(best, next[j]);
        }
        if (hi == m && next[m] <= Limit)
            Hits->emplace_back(next[m], i);
        if (best <= Limit && depth + 1 < MaxDepth && First[i] < First[i + 1] &&
            Reachable(i, depth + 1, lo, hi))
            Walk(i, depth + 1, c, best);
    }

    // Some key below node i, at `depth`, may end within the limit: a cell's distance plus
    // the difference between what is left of the text and of the key is a lower bound.
    bool Reachable(quint32 i, int depth, int lo, int hi) const {
        const int m = int(Key.size());
        const int shortest = Shortest[i] - depth, longest = Longest[i] - depth;
        const quint8* row = Rows[depth];
        for (int j = lo - 1; j <= hi; ++j) {
            const int left = m - j;
            const int gap = left < shortest ? shortest - left : left > longest ? left - longest : 0;
            if (row[j] + gap <= Limit)
                return true;
        }
        return false;
    }
};

} // namespace

quint64 FormHash(std::u16string_view lower) {
    quint64 h = 0xcbf29ce484222325ull;
    for (char16_t u : lower)
        h = (h ^ u) * 0x100000001b3ull;
    return h;
}

// --- queries ----------------------------------------------------------------------------

int TSuggestDirection::LowerBound(QStringView text) const {
    int lo = 0, hi = Count();
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (CompareText(Word(quint32(mid)), text) < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

int TSuggestDirection::Find(QStringView text) const {
    const int lo = LowerBound(text);
    return lo < Count() && SameText(Word(quint32(lo)), text) ? lo : -1;
}

int TSuggestDirection::Landing(QStringView text) const {
    const int lo = LowerBound(text);
    if (lo < Count() && StartsText(text, Word(quint32(lo))))
        return lo;
    return std::max(0, lo - 1);
}

int TSuggestDirection::KeyOfNode(quint32 node) const {
    const auto it = std::lower_bound(KeyNodes.begin(), KeyNodes.end(), node);
    return it != KeyNodes.end() && *it == node ? int(it - KeyNodes.begin()) : -1;
}

std::span<const quint32> TSuggestDirection::WithKey(std::u16string_view key) const {
    if (key.empty())
        return {};
    quint32 node = 0;
    for (char16_t c : key) {
        const quint32 last = std::min(First[node + 1], quint32(Units.size()));
        const char16_t* first = Units.data() + std::min(First[node], last);
        const char16_t* end = Units.data() + last;
        const char16_t* it = std::lower_bound(first, end, c);
        if (it == end || *it != c)
            return {};
        node = quint32(it - Units.data());
    }
    const int k = KeyOfNode(node);
    if (k < 0)
        return {};
    return KeyedOf(k);
}

std::span<const quint32> TSuggestDirection::KeyedOf(int k) const {
    const quint32 end = std::min(KeyFirst[size_t(k) + 1], quint32(Keyed.size()));
    const quint32 begin = std::min(KeyFirst[size_t(k)], end);
    return Keyed.subspan(begin, end - begin);
}

void TSuggestDirection::BasesOf(std::u16string_view lower, std::vector<quint32>& bases) const {
    const quint64 hash = FormHash(lower);
    const auto range = std::equal_range(Forms.begin(), Forms.end(), hash);
    for (auto it = range.first; it != range.second; ++it)
        bases.push_back(FormBases[size_t(it - Forms.begin())]);
}

void TSuggestDirection::Near(std::u16string_view key, int limit, std::vector<TNear>& found) const {
    if (key.empty() || key.size() > size_t(kMaxNearKey) || limit < 0 || limit > kMaxNearLimit ||
        Units.empty())
        return;
    std::vector<std::pair<int, quint32>> hits;
    auto walk = std::make_unique<TNearWalk>();
    walk->Units = Units.data();
    walk->First = First.data();
    walk->NodeCount = quint32(Units.size());
    walk->Shortest = Shortest.data();
    walk->Longest = Longest.data();
    walk->Key = key;
    walk->Limit = limit;
    walk->MaxDepth = int(key.size()) + limit;
    walk->Hits = &hits;
    for (int j = 0; j <= int(key.size()) + 1; ++j)
        walk->Rows[0][j] = quint8(std::min(j, limit + 1));
    walk->Walk(0, 0, 0, 0);
    for (const auto& [distance, node] : hits) {
        const int k = KeyOfNode(node);
        if (k < 0)
            continue;
        for (quint32 word : KeyedOf(k))
            found.push_back({distance, word});
    }
}

// --- making and reading the file --------------------------------------------------------

void TSuggestForms::AddEntry(QByteArrayView entry) {
    // Only entries whose language 1 side may list forms are decoded.
    const qsizetype sides = entry.indexOf(" :: ");
    if (sides < 0 || !MayListForms(entry.first(sides)))
        return;
    const QString text = QString::fromUtf8(entry);
    const qsizetype cut = text.indexOf(u" :: ");
    ForEachEntryForm(
        QStringView(text).first(cut), QStringView(text).sliced(cut + 4),
        [this](int side, QStringView form, QStringView base) {
            if (!isKeyedWord(form))
                return;
            // A keyed word is short: its lower case fits on the stack.
            char16_t lower[kMaxKeyedLength];
            for (qsizetype i = 0; i < form.size(); ++i)
                lower[i] = LowerUnit(form[i].unicode());
            FPairs[side].push_back(
                {FormHash(std::u16string_view(lower, size_t(form.size()))), base.toString()});
        });
}

void TSuggestForms::Append(TSuggestForms&& other) {
    for (int side = 0; side < 2; ++side) {
        FPairs[side].insert(FPairs[side].end(), std::make_move_iterator(other.FPairs[side].begin()),
                            std::make_move_iterator(other.FPairs[side].end()));
        other.FPairs[side] = {};
    }
}

TStatus TSuggestIndex::Make(QByteArrayView tdb, QByteArrayView tx1, QByteArrayView tx2,
                            QByteArray& out, qint64* formsMs) {
    out.clear();
    if (tdb.size() < kHeaderSize)
        return TStatus::Error(QStringLiteral("The entry file is shorter than its header"));
    QElapsedTimer timer;
    timer.start();
    // Entries follow the header without gaps, each a 16-bit length and its UTF-8 text.
    TSuggestForms forms;
    const char* p = tdb.data();
    for (qsizetype at = kHeaderSize; at + 2 <= tdb.size();) {
        const qint16 length = qint16(ReadU16(p + at));
        if (length < 0 || at + 2 + length > tdb.size())
            break;
        forms.AddEntry(QByteArrayView(p + at + 2, length));
        at += 2 + length;
    }
    if (formsMs)
        *formsMs = timer.elapsed();
    return Make(tdb, tx1, tx2, forms, out);
}

struct TSuggestIndexMaker::TState {
    const TSuggestForms& Forms;
    TMade Made[2];
    TKeys Keys[2][2];      // by direction and half, until the trie is made
    TFormList Found[2][2]; // by direction and half
};

TSuggestIndexMaker::TSuggestIndexMaker(const TSuggestForms& forms)
    : F(new TState{forms, {}, {}, {}}) {}

TSuggestIndexMaker::~TSuggestIndexMaker() = default;

TStatus TSuggestIndexMaker::MakeWords(int direction, QByteArrayView index) {
    if (TStatus s = ReadWords(direction, index); !s.ok())
        return s;
    MakeKeys(direction, 0);
    MakeKeys(direction, 1);
    MakeTrie(direction);
    return TStatus::Ok();
}

TStatus TSuggestIndexMaker::ReadWords(int direction, QByteArrayView index) {
    return readHeadwords(index, direction + 1, F->Made[direction]);
}

void TSuggestIndexMaker::MakeKeys(int direction, int half) {
    const TSuggestDirection words = F->Made[direction].View();
    const quint32 middle = quint32(words.Count()) / 2;
    makeKeys(words, half == 0 ? 0 : middle, half == 0 ? middle : quint32(words.Count()),
             F->Keys[direction][half]);
}

void TSuggestIndexMaker::MakeTrie(int direction) {
    makeTrie(F->Made[direction], F->Keys[direction]);
    for (TKeys& keys : F->Keys[direction])
        keys = {};
}

void TSuggestIndexMaker::FindForms(int direction, int half) {
    const std::span<const TSuggestForms::TPair> pairs(F->Forms.Pairs(direction));
    const size_t middle = pairs.size() / 2;
    findForms(half == 0 ? pairs.first(middle) : pairs.subspan(middle), F->Made[direction].View(),
              F->Found[direction][half]);
}

void TSuggestIndexMaker::Finish(QByteArrayView tdb, qint64 tx1Size, qint64 tx2Size,
                                QByteArray& out) {
    for (int d = 0; d < 2; ++d) {
        TMade& made = F->Made[d];
        for (TFormList& found : F->Found[d]) {
            made.Forms.insert(made.Forms.end(), found.begin(), found.end());
            found = {};
        }
        sortForms(made);
    }
    QByteArray bytes(kFileHeaderSize, '\0');
    bytes.reserve(kFileHeaderSize + directionBytes(F->Made[0]) + directionBytes(F->Made[1]));
    std::memcpy(bytes.data(), kMagic, 8);
    std::memcpy(bytes.data() + 8, &kVersion, 4);
    const quint64 sizes[3] = {quint64(tdb.size()), quint64(tx1Size), quint64(tx2Size)};
    std::memcpy(bytes.data() + 24, sizes, sizeof sizes);
    std::memcpy(bytes.data() + kTdbHeaderAt, tdb.data(), kHeaderSize);
    appendDirection(bytes, F->Made[0]);
    appendDirection(bytes, F->Made[1]);
    const quint64 sum =
        checksumOf(bytes.constData() + kFileHeaderSize, bytes.size() - kFileHeaderSize);
    std::memcpy(bytes.data() + 16, &sum, 8);
    out = std::move(bytes);
}

TStatus TSuggestIndex::Make(QByteArrayView tdb, QByteArrayView tx1, QByteArrayView tx2,
                            const TSuggestForms& forms, QByteArray& out) {
    out.clear();
    if (tdb.size() < kHeaderSize)
        return TStatus::Error(QStringLiteral("The entry file is shorter than its header"));
    // The directions are made side by side. Language 2's is the smaller one: its thread
    // then also finds the bases of the second half of language 1's form pairs, once
    // language 1's trie is there.
    TSuggestIndexMaker maker(forms);
    std::latch trieMade(1);
    bool trieOk = false;
    TStatus second = TStatus::Ok();
    {
        std::jthread helper([&] {
            second = maker.MakeWords(1, tx2);
            if (second.ok()) {
                maker.FindForms(1, 0);
                maker.FindForms(1, 1);
            }
            trieMade.wait();
            if (trieOk)
                maker.FindForms(0, 1);
        });
        const TStatus first = maker.MakeWords(0, tx1);
        trieOk = first.ok();
        trieMade.count_down();
        if (!first.ok())
            return first;
        maker.FindForms(0, 0);
    }
    if (!second.ok())
        return second;
    maker.Finish(tdb, tx1.size(), tx2.size(), out);
    return TStatus::Ok();
}

quint64 TSuggestIndex::Checksum(QByteArrayView bytes) {
    return checksumOf(bytes.data() + kFileHeaderSize, bytes.size() - kFileHeaderSize);
}

TStatus TSuggestIndex::Read(const QString& path, const TSuggestIndexOwner& owner) {
    Clear();
    if (TStatus s = FFile.Open(path, path); !s.ok())
        return s;
    const qint64 size = FFile.Size();
    if (size < kFileHeaderSize) {
        FFile.Close();
        return TStatus::Error("File " + path + " is damaged: it has " + QString::number(size) +
                              " bytes");
    }
    // A mapping starts on a page; a copy (where the system could not map the file) is
    // aligned again if its buffer is not.
    if (reinterpret_cast<quintptr>(FFile.Data()) % alignof(quint64) != 0) {
        CopyIn(FFile.Bytes());
        FFile.Close();
    } else {
        FData = FFile.Data();
        FBytes = size;
    }
    const TStatus status = Parse(path, &owner);
    // The checks have read every page; the queries need a few hundred of them.
    FFile.DropResidentPages();
    return status;
}

TStatus TSuggestIndex::Adopt(QByteArrayView bytes) {
    Clear();
    CopyIn(bytes);
    return Parse(QStringLiteral("the suggestion index"), nullptr);
}

void TSuggestIndex::CopyIn(QByteArrayView bytes) {
    FBuffer = std::make_unique_for_overwrite<quint64[]>(size_t(bytes.size() + 7) / 8);
    if (!bytes.isEmpty())
        std::memcpy(FBuffer.get(), bytes.data(), size_t(bytes.size()));
    FData = reinterpret_cast<const char*>(FBuffer.get());
    FBytes = bytes.size();
}

void TSuggestIndex::Clear() {
    FDirections[0] = FDirections[1] = {};
    FData = nullptr;
    FBytes = 0;
    FBuffer.reset();
    FFile.Close();
}

TStatus TSuggestIndex::Parse(const QString& name, const TSuggestIndexOwner* owner) {
    const char* p = FData;
    const qsizetype size = FBytes;
    auto fail = [&](const QString& why) {
        Clear();
        return TStatus::Error("File " + name + " " + why);
    };
    quint32 version = 0;
    if (size >= kFileHeaderSize)
        std::memcpy(&version, p + 8, 4);
    if (size < kFileHeaderSize || std::memcmp(p, kMagic, 8) != 0)
        return fail(QStringLiteral("is not a suggestion index"));
    if (version != kVersion)
        return fail(QStringLiteral("is of another format version"));
    // The checks read the whole mapped file: what they have passed leaves the resident
    // memory again as they go (a no-op for bytes held in memory).
    auto letGo = [&](qsizetype from, qsizetype to) {
        if (FData == FFile.Data() && to > from)
            FFile.DropResidentPages(from & ~qsizetype(0xFFFF), to - (from & ~qsizetype(0xFFFF)));
    };
    qsizetype summed = 0;
    const quint64 sum =
        checksumOf(p + kFileHeaderSize, size - kFileHeaderSize, [&](qsizetype passed) {
            const qsizetype end = kFileHeaderSize + passed;
            if (end - summed >= 2 * kCheckStep) {
                letGo(summed, end - kCheckStep);
                summed = end - kCheckStep;
            }
        });
    if (loadU64(p + 16) != sum)
        return fail(QStringLiteral("is damaged: its checksum does not match"));
    if (owner) {
        if (QByteArrayView(p + kTdbHeaderAt, kHeaderSize) != QByteArrayView(owner->TdbHeader))
            return fail(QStringLiteral("belongs to another dictionary"));
        for (int f = 0; f < 3; ++f)
            if (loadU64(p + 24 + 8 * f) != quint64(owner->FileSizes[f]))
                return fail(QStringLiteral("was made for other files of the dictionary"));
    }

    qsizetype pos = kFileHeaderSize;
    bool inside = true;
    auto take = [&]<typename T>(std::span<const T>& view, quint64 count) {
        const quint64 bytes = count * sizeof(T);
        // The padding after the last array may be missing: pos may then lie past the end.
        if (!inside || pos > size || bytes > quint64(size - pos)) {
            inside = false;
            view = {};
            return;
        }
        view = std::span<const T>(reinterpret_cast<const T*>(p + pos), size_t(count));
        pos = padded(pos + qsizetype(bytes));
    };
    for (TSuggestDirection& d : FDirections) {
        const qsizetype first = pos;
        std::span<const quint32> counts;
        take(counts, kCounts);
        if (!inside)
            return fail(QStringLiteral("is damaged: it ends too early"));
        const quint64 n = counts[0], t = counts[1], c = counts[2], k = counts[3], o = counts[4],
                      f = counts[5];
        take(d.Text, t);
        take(d.Start, n + 1);
        take(d.Refs, n);
        take(d.Rank, n);
        take(d.Units, c);
        take(d.First, c + 1);
        take(d.Shortest, c);
        take(d.Longest, c);
        take(d.KeyNodes, k);
        take(d.KeyFirst, k + 1);
        take(d.Keyed, o);
        take(d.Forms, f);
        take(d.FormBases, f);
        if (!inside)
            return fail(QStringLiteral("is damaged: it ends too early"));
        // Every position the queries follow stays inside its array.
        bool valid = d.Start[0] == 0 && d.Start[n] == t && d.KeyFirst[0] == 0 && d.KeyFirst[k] == o;
        for (quint64 i = 0; valid && i < n; ++i)
            valid = d.Start[i] <= d.Start[i + 1];
        valid = valid && c >= 1 && d.First[c] == c;
        for (quint64 i = 0; valid && i < c; ++i)
            valid = d.First[i] > i && d.First[i] <= d.First[i + 1];
        for (quint64 i = 0; valid && i < k; ++i)
            valid = d.KeyNodes[i] < c && (i == 0 || d.KeyNodes[i - 1] < d.KeyNodes[i]) &&
                    d.KeyFirst[i] <= d.KeyFirst[i + 1];
        for (quint64 i = 0; valid && i < o; ++i)
            valid = d.Keyed[i] < n;
        for (quint64 i = 0; valid && i < f; ++i)
            valid = d.FormBases[i] < n;
        if (!valid)
            return fail(QStringLiteral("is damaged: a position lies outside its table"));
        letGo(first, pos);
    }
    if (pos != size)
        return fail(pos > size ? QStringLiteral("is damaged: it ends too early")
                               : QStringLiteral("is damaged: it has bytes after its tables"));
    return TStatus::Ok();
}

} // namespace quillet
