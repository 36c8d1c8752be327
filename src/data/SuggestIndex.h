// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "FileIO.h"
#include "Status.h"

#include <algorithm>
#include <memory>
#include <QByteArray>
#include <QString>
#include <span>
#include <string_view>
#include <vector>

// The suggestions' index of one dictionary set, both directions, and its file <base>.sug,
// which the import writes beside the set's other files and the suggester reads in place.
// Per direction it holds every headword (in the index file's order, ascending under
// CompareText) with its number of references and strongest rank, a trie of the one-word
// headwords' spelling keys (WordFold.h) for exact and near matches, and the form -> base
// pairs of the entries' form lists (EntryForms.h). Everything is a flat array, so that
// the file is usable as read, without building anything.
//
// File (integers little-endian; every array starts at a multiple of 8, zero-padded):
//     0    8  "QSUGGEST"
//     8    4  format version, 1
//    12    4  zero
//    16    8  checksum of every byte from 256 to the end (checksumOf in the .cpp)
//    24    8  size of <base>.tdb the index was made from
//    32    8  size of <base>.tx1
//    40    8  size of <base>.tx2
//    48  184  the .tdb header
//   232   24  zero
//   256       direction 0, then direction 1, each: eight u32 counts (headwords n, text
//             units t, trie nodes c, keys k, keyed headwords o, form pairs f, zero, zero),
//             then the arrays
//               u16[t]    the headwords one after the other (UTF-16)
//               u32[n+1]  where each headword begins in them; the last is t
//               u16[n]    its references, at most 65535
//               u8[n]     its strongest rank (0: only a stopword)
//               u16[c]    the trie, breadth first from the root (node 0): each node's
//                         code unit, ascending among siblings (0 for the root)
//               u32[c+1]  where each node's children begin; node i's children are
//                         First[i] to First[i + 1]; the last is c
//               u8[c]     the length of the shortest key that ends below each node (255
//                         when none does), to cut the near search short
//               u8[c]     and of the longest (0 when none)
//               u32[k]    the node where each key ends, ascending
//               u32[k+1]  where each of those keys' headwords begin in the next array;
//                         the last is o
//               u32[o]    the one-word headwords, by the node where their key ends, then
//                         by position
//               u64[f]    form pairs: the hash of each form's lower case (FormHash),
//                         ascending
//               u32[f]    and the base headword of each
// A machine of the other byte order neither writes nor reads the file.
//
// Read() maps the file (TMappedFile) and uses the arrays where they lie: after the checks,
// which read every byte, the pages leave the resident memory again, and the queries bring
// back only the few they touch, from the page cache. Like the index files, the mapped file
// stays valid when a new one is renamed over its name, which is how the import and
// import-suggest install it; the engine's writers never change it in place. Should
// another program do so, its lost pages read as zeros (MappingGuard.h) and the accessors
// below keep every read inside the arrays.
//
// Thread safety: Make() and Read() on any thread; a read index is immutable, and every
// const member may be called from any thread, also concurrently.
namespace quillet {

inline constexpr const char* kSuggestIndexExtension = "sug";

// The hash of a form's lower case kept in the file's form pairs.
quint64 FormHash(std::u16string_view lower);

// One direction of the index.
class TSuggestDirection {
public:
    struct TNear {
        int Distance;
        quint32 Word;
    };

    // The accessors bound every position they read from the file by the arrays' sizes:
    // the file was checked when read, but another program may rewrite it in place since,
    // and its bytes then must not carry a read out of the arrays.
    int Count() const { return int(Refs.size()); }
    QStringView Word(quint32 i) const {
        if (size_t(i) + 1 >= Start.size())
            return {};
        const quint32 end = std::min(Start[i + 1], quint32(Text.size()));
        const quint32 begin = std::min(Start[i], end);
        return QStringView(Text.data() + begin, qsizetype(end - begin));
    }
    quint16 RefsOf(quint32 i) const { return i < Refs.size() ? Refs[i] : 0; }
    quint8 RankOf(quint32 i) const { return i < Rank.size() ? Rank[i] : 0; }
    int KeyedCount() const { return int(Keyed.size()); }
    int FormCount() const { return int(Forms.size()); }

    // The headword equal to the text under CompareText, or -1.
    int Find(QStringView text) const;
    // Where the one-word lookup lands: the first headword that begins with the text, else
    // the nearest one before it, else the first. REQUIRES: Count() > 0.
    int Landing(QStringView text) const;
    // The one-word headwords whose spelling key is `key`, ascending.
    std::span<const quint32> WithKey(std::u16string_view key) const;
    // The base headwords of the lower-case form, ascending.
    void BasesOf(std::u16string_view lower, std::vector<quint32>& bases) const;
    // Appends the one-word headwords whose spelling key is at most `limit` edits (insertion,
    // deletion, substitution, swap of neighbours) from `key`, with their distance.
    void Near(std::u16string_view key, int limit, std::vector<TNear>& found) const;

    // The arrays of the file layout above, as views into the index's bytes.
    std::span<const char16_t> Text;
    std::span<const quint32> Start;
    std::span<const quint16> Refs;
    std::span<const quint8> Rank;
    std::span<const char16_t> Units;
    std::span<const quint32> First;
    std::span<const quint8> Shortest;
    std::span<const quint8> Longest;
    std::span<const quint32> KeyNodes;
    std::span<const quint32> KeyFirst;
    std::span<const quint32> Keyed;
    std::span<const quint64> Forms;
    std::span<const quint32> FormBases;

private:
    // The first headword not below the text under CompareText.
    int LowerBound(QStringView text) const;
    int KeyOfNode(quint32 node) const;
    // The headwords of key k: a part of Keyed.
    std::span<const quint32> KeyedOf(int k) const;
};

// The form -> base pairs of a set's entry form lists (EntryForms.h), gathered an entry at a
// time: by the import while it stores the entries, or by Make() from a .tdb's bytes. Which
// headword a base is becomes known only when the index is made.
//
// Thread safety: one thread at a time.
class TSuggestForms {
public:
    struct TPair {
        quint64 Hash; // FormHash of the form's lower case
        QString Base;
    };

    // One stored entry's UTF-8 text, "side 1 :: side 2".
    void AddEntry(QByteArrayView entry);
    // Adds the pairs another gatherer found (of other entries of the same set).
    void Append(TSuggestForms&& other);
    // The pairs found so far whose form may be typed as one word, side 0 for language 1.
    const std::vector<TPair>& Pairs(int side) const { return FPairs[side]; }

private:
    std::vector<TPair> FPairs[2];
};

// The index made a step at a time, for a caller that has one direction's index file before
// the other's and runs the steps on threads of its own (the import, which makes language
// 2's direction while it still writes language 1's index). Make() is these steps.
//
// Thread safety: steps of the two directions may run side by side, and the two halves of
// one direction's keys or form pairs too; the caller orders the steps of one direction
// as listed below (FindForms(d, ...) after its trie is made), Finish() after every other.
class TSuggestIndexMaker {
public:
    // `forms` must outlive the maker.
    explicit TSuggestIndexMaker(const TSuggestForms& forms);
    ~TSuggestIndexMaker();
    TSuggestIndexMaker(const TSuggestIndexMaker&) = delete;
    TSuggestIndexMaker& operator=(const TSuggestIndexMaker&) = delete;

    // Reads a direction's headwords from its index file (direction 0: the .tx1) and makes
    // their trie. A damaged index record is an error.
    TStatus MakeWords(int direction, QByteArrayView index);
    // The same in steps, the keys of the two halves of the headwords possibly side by side:
    // ReadWords, then MakeKeys for both halves (0 and 1), then MakeTrie.
    TStatus ReadWords(int direction, QByteArrayView index);
    void MakeKeys(int direction, int half);
    void MakeTrie(int direction);
    // Finds the base headwords of one half (0 or 1) of the direction's form pairs.
    void FindForms(int direction, int half);
    // The file's bytes, for the set whose .tdb is `tdb` and whose index files have the
    // sizes given. REQUIRES: both directions' words made, both halves of both found.
    void Finish(QByteArrayView tdb, qint64 tx1Size, qint64 tx2Size, QByteArray& out);

private:
    struct TState;
    std::unique_ptr<TState> F;
};

// What the index is checked against when read: the set it must belong to.
struct TSuggestIndexOwner {
    QByteArray TdbHeader;     // the .tdb header of the open set
    qint64 FileSizes[3] = {}; // sizes of <base>.tdb, .tx1, .tx2 on the disk now
};

class TSuggestIndex {
public:
    TSuggestIndex() = default;
    TSuggestIndex(const TSuggestIndex&) = delete;
    TSuggestIndex& operator=(const TSuggestIndex&) = delete;

    // The file's bytes, made from the bytes of the set's .tdb, .tx1 and .tx2 (a second or
    // two for the default dictionary; `formsMs` gets the part spent on the entries' form
    // lists). A damaged index record is an error.
    static TStatus Make(QByteArrayView tdb, QByteArrayView tx1, QByteArrayView tx2, QByteArray& out,
                        qint64* formsMs = nullptr);
    // The same with the form pairs already gathered from every entry of the .tdb. The two
    // directions are made side by side, the second on a thread of Make's own.
    static TStatus Make(QByteArrayView tdb, QByteArrayView tx1, QByteArrayView tx2,
                        const TSuggestForms& forms, QByteArray& out);

    // Maps the file and checks it: a missing file gives "File <path> not found"; one of
    // another set (another .tdb header or other file sizes than `owner`'s), of another
    // format version, or damaged (its checksum, a count or position out of range) is
    // refused with a message naming it, and leaves the index empty. The file stays open
    // while the index lives.
    TStatus Read(const QString& path, const TSuggestIndexOwner& owner);
    // Takes a copy of bytes made by Make() (checked like a file, without the owner).
    TStatus Adopt(QByteArrayView bytes);
    // The checksum that bytes 16 to 23 of the file hold, over the bytes from 256 on; for
    // those who make damaged files on purpose (the fuzz target). REQUIRES: 256 bytes or more.
    static quint64 Checksum(QByteArrayView bytes);

    bool IsEmpty() const { return !FData; }
    const TSuggestDirection& Direction(int direction) const { return FDirections[direction]; }
    // The index's size: the file's, mapped rather than resident when it was read.
    qint64 Bytes() const { return FBytes; }
    // Lets the pages of the file that queries read leave the resident memory.
    void DropResidentPages() const { FFile.DropResidentPages(); }

private:
    TStatus Parse(const QString& name, const TSuggestIndexOwner* owner);
    // Takes a copy of the bytes into FBuffer, 8-byte aligned, as FData.
    void CopyIn(QByteArrayView bytes);
    void Clear();

    TMappedFile FFile;                  // the file Read() mapped
    std::unique_ptr<quint64[]> FBuffer; // or the bytes Adopt() copied: 8-byte aligned
    const char* FData = nullptr;        // the bytes the arrays' views point into
    qint64 FBytes = 0;
    TSuggestDirection FDirections[2];
};

} // namespace quillet
