// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "FileIO.h"
#include "LinkedList.h"
#include "Status.h"

#include <vector>

// A headword index: a TLinkedList whose items carry the references from a headword to
// its entries, read from and written to the .tx1 / .tx2 index files.
//
// Index file: records up to the end of the file, nothing around them. Each record is
//   L (1 byte)  byte length of the UTF-8 headword, 0..255
//   N (2 bytes) number of references, 1..65535
//   L bytes     the headword
//   5*N bytes   references: Offset (4 bytes) of the entry in the .tdb, then Rank (1 byte)
// Records ascend under CompareText. Within a record the references are grouped by rank
// 1, 2, ..., 9, then 0, each group in the order they were added (ascending offsets).
//
// Thread safety: none (see TLinkedList).
namespace quillet {

// A reference from a headword to an entry: the entry's offset in the .tdb and the rank,
// 1 (the entry is about this word alone) to 9 (weakest), 0 (the word is only a stopword
// there).
struct TTermRef {
    quint32 Offset = 0;
    quint8 Rank = 0;
    friend bool operator==(const TTermRef&, const TTermRef&) = default;
};
using TTermRefArray = std::vector<TTermRef>;

inline constexpr int kMaxHeadwordBytes = 255;
inline constexpr int kMaxReferences = 65535;

class TWordList : public TLinkedList {
public:
    // References read by LoadFromFile, summed over every load; Clear keeps it.
    int Total() const { return FTotal; }

    bool GetItem(int index, QString& text, TTermRefArray& refs);
    bool GetCurrent(QString& text, TTermRefArray& refs) const;
    // The references of the item at `index`, cursor untouched. REQUIRES: valid index.
    TTermRefArray RefsAt(int index) const;
    // How many references the item at `index` has, and the rank of its first one (the
    // strongest; 0 when it has only rank-0 references), without unpacking them.
    // REQUIRES: valid index.
    int RefCountAt(int index) const { return int(DataBytes(index).size() / 5); }
    quint8 FirstRankAt(int index) const {
        const QByteArrayView data = DataBytes(index);
        return data.size() >= 5 ? quint8(data[4]) : 0;
    }

    void AppendWithData(QStringView text, const TTermRefArray& refs);
    void AddSortedWithData(QStringView text, const TTermRefArray& refs);

    // Clears the list, then reads the index file. A missing file gives "File <path> not
    // found"; a file that ends inside a record or has a record without references is
    // reported as damaged, one of 4 GiB or more as too large, and each leaves the list
    // empty (and Total() as it was).
    TStatus LoadFromFile(const QString& path);
    // Lets the pages of the index file read so far leave the resident memory; searches
    // bring back those they touch. Nothing for a list not loaded from a file.
    void DropResidentPages();
    // Writes the index file (replacing it only when complete). Headwords are cut to 255
    // bytes at a character boundary; a headword with more than 65535 references keeps
    // the first 65535 in stored order, the strongest.
    TStatus SaveToFile(const QString& path) const;

    // One index record as written by SaveToFile, for writers that do not build a list.
    static void WriteRecord(QByteArray& out, QStringView headword, const TTermRefArray& refs);

private:
    TStatus Load(const QString& path);

    int FTotal = 0;
    std::weak_ptr<TMappedFile> FMapped; // the loaded file, owned by the list's arena
};

// Packs references into the 5-byte file layout and back.
QByteArray PackRefs(const TTermRefArray& refs);
TTermRefArray UnpackRefs(QByteArrayView packed);

} // namespace quillet
