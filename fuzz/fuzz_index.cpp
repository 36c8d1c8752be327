// SPDX-License-Identifier: GPL-2.0-or-later
// Fuzzes the headword index reader: any bytes as a .tx1 file, loaded, every item read,
// then lookups of the items' own texts and their beginnings; then the same bytes through
// their record table, whose positions the input's bytes change.
#include "FuzzSupport.h"

#include "DictFormat.h"
#include "WordList.h"

#include <algorithm>

using namespace quillet;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::Folder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TWordList list;
    const QString indexPath = fuzz::WriteInput("index.tx1", fuzz::Bytes(data, size));
    const TStatus status = list.LoadFromFile(indexPath);
    if (!status.ok()) {
        FUZZ_CHECK(list.Count() == 0 && list.Total() == 0);
        return 0;
    }
    FUZZ_CHECK(size > 0 || list.Count() == 0);

    qint64 references = 0;
    QStringList texts;
    for (int i = 0; i < list.Count(); ++i) {
        texts.append(list.TextAt(i));
        references += qint64(list.RefsAt(i).size());
    }
    FUZZ_CHECK(references == list.Total());

    // The file's order need not hold here; the lookups must stay inside the list anyway.
    QString text;
    TTermRefArray refs;
    for (int i = 0; i < list.Count(); i += 1 + list.Count() / 16) {
        list.Locate(texts[i]);
        FUZZ_CHECK(list.CurrentIndex() >= 0 && list.CurrentIndex() < list.Count());
        list.Locate(texts[i].left(texts[i].size() / 2));
        FUZZ_CHECK(list.GetCurrent(text, refs));
        const int found = list.IndexOf(texts[i]);
        FUZZ_CHECK(found >= -1 && found < list.Count());
        FUZZ_CHECK(list.GetItem(i, text, refs) && text == texts[i]);
    }

    // The record table made for the bytes, its positions (which no checksum covers) changed
    // by the input's first bytes: whatever they say, reads stay inside the file, and after a
    // misfit the list is read again as walked.
    if (size == 0)
        return 0;
    const QByteArray tdb = BuildHeader(QStringLiteral("fuzz"), QDate(2000, 1, 1));
    QByteArray table;
    const QByteArray index(reinterpret_cast<const char*>(data), qsizetype(size));
    FUZZ_CHECK(TWordList::MakeRecordTable(index, tdb, table).ok());
    const qsizetype positions = table.size() - 4 * (qsizetype(list.Count()) + 1);
    for (size_t k = 0; k < std::min<size_t>(size / 2, 8); ++k) {
        const qsizetype at = positions + qsizetype(data[2 * k]) % (table.size() - positions);
        table[at] = char(table[at] ^ data[2 * k + 1]);
    }
    TWordList fromTable;
    FUZZ_CHECK(fromTable
                   .LoadFromFile(indexPath, fuzz::WriteInput("index.tr1", table),
                                 TRecordTableOwner{tdb, tdb.size()})
                   .ok());
    FUZZ_CHECK(fromTable.Count() == list.Count());
    for (int i = 0; i < fromTable.Count(); ++i) {
        (void)fromTable.TextAt(i);
        (void)fromTable.RefsAt(i);
    }
    for (int i = 0; i < fromTable.Count(); i += 1 + fromTable.Count() / 16) {
        fromTable.Locate(texts[i]);
        FUZZ_CHECK(fromTable.CurrentIndex() >= 0 && fromTable.CurrentIndex() < fromTable.Count());
    }
    if (fromTable.RecordFault()) {
        FUZZ_CHECK(fromTable.ReadWithoutTable(indexPath).ok());
        FUZZ_CHECK(!fromTable.UsesRecordTable() && fromTable.Total() == list.Total());
    }
    return 0;
}
