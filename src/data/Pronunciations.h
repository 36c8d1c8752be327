// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "FileIO.h"
#include "Status.h"

#include <QString>
#include <QStringView>
#include <vector>

// A dictionary's pronunciations (<base>.ipa, the record layout of THashList) for looking
// words up: the file stays mapped and the table holds the offset of every sixteenth
// pronunciation's record, a quarter of a byte a pronunciation; a search finds the others
// by walking on from the nearest one. Only the pages that lookups touch become resident.
// THashList remains the writer of the file and the general key/value list.
//
// Thread safety: one thread loads; after that Find() may run on any thread.
namespace quillet {

class TPronunciationTable {
public:
    // True only after a complete LoadFromFile.
    bool Loaded() const { return FLoaded; }
    // The records that form a pair (a key, "=" and a value that is not empty).
    int Count() const { return FCount; }

    // Reads the file as THashList::LoadFromFile does, with the same pairs and messages: a
    // missing file gives "File <path> not found", a file that ends inside a record is
    // damaged and leaves the table empty.
    TStatus LoadFromFile(const QString& path);
    // The value of the key equal to `word` under CompareText, searched as THashList::Find
    // searches (the first record, then by bisection).
    bool Find(QStringView word, QString& value) const;
    // Lets the file's pages that searches read leave the resident memory (TMappedFile).
    void DropResidentPages() { FFile.DropResidentPages(); }

private:
    TStatus Load(const QString& path);
    // The record at `pos` (its bytes after the length byte), the key and the value in it.
    QByteArrayView RecordAt(quint32 pos) const;
    QByteArrayView KeyAt(quint32 pos) const;
    QByteArrayView ValueAt(quint32 pos) const;
    // The offset of the length byte of pair `index` (0 <= index < Count()).
    quint32 PairAt(int index) const;

    static constexpr int kStride = 16;
    TMappedFile FFile;
    std::vector<quint32> FEvery; // the offsets of pairs 0, kStride, 2 * kStride, ...
    int FCount = 0;
    bool FLoaded = false;
};

} // namespace quillet
