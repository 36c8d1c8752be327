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
// Record table (.tr1 / .tr2 beside the .tx1 / .tx2, written by the import): where each
// record of the index begins, so that a process that looks up one word reads the few
// records its search compares instead of walking all of them first. Little-endian:
//     0   8  "QRECORDS"
//     8   4  format version, 1
//    12   4  n, the index's records
//    16   8  checksum (FNV-1a, 64 bits) of bytes 0-15 and 24 to the end of the list below
//    24   8  size of the index file
//    32   8  size of the set's .tdb
//    40   8  the index's references, summed
//    48   4  m, the records whose headword begins without a primary weight
//    52   4  zero
//    56 184  the .tdb header
//   240  16  zero
//   256      u32[m] those records, ascending; then u32[n + 1] where each record begins,
//            ascending, the first 0, the last the index file's size
// The positions are not in the checksum: each record is checked where it is read (it
// must fill the space up to the next position exactly), and a misfit makes the owner read
// the index again without the table.
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

// What a record table must have been made for, besides its index: the set's entry file.
struct TRecordTableOwner {
    QByteArray TdbHeader;
    qint64 TdbSize = 0;
};

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
    // The same with the index's record table `tablePath`, when it is one of this very
    // index (its size) and of the set `owner` describes, of this format version and
    // undamaged: the file's records are then read only when a search comes to them. A
    // table that is missing or refused is passed over (UsesRecordTable() tells), and the
    // file read as above. A misfit found later (RecordFault()) calls for ReadWithoutTable.
    TStatus LoadFromFile(const QString& path, const QString& tablePath,
                         const TRecordTableOwner& owner);
    // Reads the index file again, walking it, after its record table was found not to
    // fit; Total() counts it once.
    TStatus ReadWithoutTable(const QString& path);
    bool UsesRecordTable() const { return HasRecordTable(); }
    // The record table of the index bytes `index` (as SaveToFile writes them) in the set
    // whose entry file is `tdb`. An index that does not load is an error.
    static TStatus MakeRecordTable(const QByteArray& index, QByteArrayView tdb, QByteArray& out);
    // Lets the pages of the index file read so far leave the resident memory; searches
    // bring back those they touch. Nothing for a list not loaded from a file.
    void DropResidentPages();
    // Writes the index file (replacing it only when complete). Headwords are cut to 255
    // bytes at a character boundary; a headword with more than 65535 references keeps
    // the first 65535 in stored order, the strongest.
    TStatus SaveToFile(const QString& path) const;

    // One index record as written by SaveToFile, for writers that do not build a list.
    static void WriteRecord(QByteArray& out, QStringView headword, const TTermRefArray& refs);

protected:
    bool SplitRecord(QByteArrayView record, quint32 position, TItem& item) const override;

private:
    // Both LoadFromFile; without `owner` no table is looked for.
    TStatus Load(const QString& path, const QString& tablePath, const TRecordTableOwner* owner);
    // The walk of Load over bytes that `owner` keeps alive.
    TStatus Adopt(QByteArray arena, std::shared_ptr<const void> owner, const QString& path);
    // True when the table was taken.
    bool AdoptTable(const std::shared_ptr<TMappedFile>& index, const QString& tablePath,
                    const TRecordTableOwner& owner);

    int FTotal = 0;
    int FTableTotal = 0;                     // the part of FTotal a record table gave
    std::weak_ptr<TMappedFile> FMapped;      // the loaded file, owned by the list's arena
    std::weak_ptr<TMappedFile> FMappedTable; // its record table, when one was taken
};

// Packs references into the 5-byte file layout and back.
QByteArray PackRefs(const TTermRefArray& refs);
TTermRefArray UnpackRefs(QByteArrayView packed);

} // namespace quillet
