// SPDX-License-Identifier: GPL-2.0-or-later
#include "WordList.h"

#include "DictFormat.h"
#include "FileIO.h"
#include "TextTools.h"

#include <cstring>
#include <limits>
#include <new>
#include <QFileInfo>

namespace quillet {

QByteArray PackRefs(const TTermRefArray& refs) {
    QByteArray out;
    out.reserve(qsizetype(refs.size()) * 5);
    for (const TTermRef& ref : refs) {
        AppendU32(out, ref.Offset);
        out.append(char(ref.Rank));
    }
    return out;
}

TTermRefArray UnpackRefs(QByteArrayView packed) {
    TTermRefArray refs(size_t(packed.size() / 5));
    const char* p = packed.data();
    for (TTermRef& ref : refs) {
        ref.Offset = ReadU32(p);
        ref.Rank = quint8(p[4]);
        p += 5;
    }
    return refs;
}

bool TWordList::GetItem(int index, QString& text, TTermRefArray& refs) {
    if (!GetText(index, text))
        return false;
    refs = RefsAt(CurrentIndex());
    return true;
}

bool TWordList::GetCurrent(QString& text, TTermRefArray& refs) const {
    if (!GetCurrentText(text))
        return false;
    refs = RefsAt(CurrentIndex());
    return true;
}

TTermRefArray TWordList::RefsAt(int index) const {
    return UnpackRefs(DataBytes(index));
}

void TWordList::AppendWithData(QStringView text, const TTermRefArray& refs) {
    AppendWithBytes(text, PackRefs(refs));
}

void TWordList::AddSortedWithData(QStringView text, const TTermRefArray& refs) {
    AddSortedWithBytes(text, PackRefs(refs));
}

TStatus TWordList::LoadFromFile(const QString& path) {
    return Load(path, {}, nullptr);
}

TStatus TWordList::LoadFromFile(const QString& path, const QString& tablePath,
                                const TRecordTableOwner& owner) {
    return Load(path, tablePath, &owner);
}

TStatus TWordList::Load(const QString& path, const QString& tablePath,
                        const TRecordTableOwner* owner) {
    try {
        Clear();
        // Read in place: the items point into the mapped file, which the list keeps open.
        auto file = std::make_shared<TMappedFile>();
        if (TStatus s = file->Open(path, path); !s.ok())
            return s;
        if (owner && AdoptTable(file, tablePath, *owner)) {
            FMapped = file;
            return TStatus::Ok();
        }
        QByteArray arena = QByteArray::fromRawData(file->Data(), qsizetype(file->Size()));
        TStatus status = Adopt(std::move(arena), file, path);
        if (status.ok())
            FMapped = file;
        return status;
    } catch (const std::bad_alloc&) {
        Clear();
        return TStatus::Error("Not enough memory to load " + path);
    }
}

TStatus TWordList::Adopt(QByteArray arena, std::shared_ptr<const void> owner, const QString& path) {
    // One pass: each record must lie inside the file and have references, so that a
    // damaged file is refused before the list takes any of it.
    const char* data = arena.constData();
    const qint64 size = arena.size();
    std::vector<TItem> items;
    // Records average 30 to 50 bytes in real dictionaries: one reservation for all, whose
    // untouched end never becomes resident memory.
    items.reserve(size_t(size / 16 + 1));
    std::vector<int> leadCandidates; // for the list's search of texts without primary weight
    qint64 total = 0;
    for (qint64 pos = 0; pos < size;) {
        if (size - pos < 3)
            return TStatus::Error("File " + path + " is damaged: it ends inside a record");
        const quint32 count = ReadU16(data + pos + 1);
        // No import writes a headword without an entry; a run of zero bytes would
        // otherwise load as millions of empty headwords.
        if (count == 0)
            return TStatus::Error("File " + path + " is damaged: a headword has no entries");
        TItem item;
        item.TextLen = uchar(data[pos]);
        item.DataLen = count * 5;
        item.TextPos = quint32(pos + 3);
        item.DataPos = item.TextPos + item.TextLen;
        pos = qint64(item.DataPos) + item.DataLen;
        if (pos > size)
            return TStatus::Error("File " + path + " is damaged: it ends inside a record");
        if (item.TextLen == 0 || !IsPrintableAscii(uchar(data[item.TextPos])))
            leadCandidates.push_back(int(items.size()));
        items.push_back(item);
        total += count;
    }
    AdoptRecords(std::move(arena), std::move(items), std::move(owner), &leadCandidates);
    FTotal += int(total);
    return TStatus::Ok();
}

namespace {

constexpr char kTableMagic[8] = {'Q', 'R', 'E', 'C', 'O', 'R', 'D', 'S'};
constexpr quint32 kTableVersion = 1;
constexpr qint64 kTableHeaderSize = 256;
constexpr int kTableTdbHeaderAt = 56;

void putU32(QByteArray& out, qsizetype at, quint32 v) {
    for (int i = 0; i < 4; ++i)
        out[at + i] = char((v >> (8 * i)) & 0xFF);
}

void putU64(QByteArray& out, qsizetype at, quint64 v) {
    putU32(out, at, quint32(v));
    putU32(out, at + 4, quint32(v >> 32));
}

// FNV-1a over the table's header but its checksum field, and the list that follows it.
quint64 tableChecksum(const char* table, qint64 checkedSize) {
    quint64 h = 0xCBF29CE484222325ull;
    auto add = [&h](const char* p, qint64 n) {
        for (qint64 i = 0; i < n; ++i)
            h = (h ^ uchar(p[i])) * 0x100000001B3ull;
    };
    add(table, 16);
    add(table + 24, checkedSize - 24);
    return h;
}

// Keeps an index file and its record table open for as long as a list reads them.
struct TIndexWithTable {
    std::shared_ptr<TMappedFile> Index;
    std::shared_ptr<TMappedFile> Table;
};

} // namespace

bool TWordList::AdoptTable(const std::shared_ptr<TMappedFile>& index, const QString& tablePath,
                           const TRecordTableOwner& owner) {
    if (!QFileInfo::exists(tablePath))
        return false;
    auto table = std::make_shared<TMappedFile>();
    if (!table->Open(tablePath, tablePath).ok())
        return false;
    const char* p = table->Data();
    const qint64 size = table->Size();
    if (size < kTableHeaderSize || std::memcmp(p, kTableMagic, 8) != 0 ||
        ReadU32(p + 8) != kTableVersion)
        return false;
    const quint32 count = ReadU32(p + 12);
    const quint32 leadCount = ReadU32(p + 48);
    const qint64 listEnd = kTableHeaderSize + 4 * qint64(leadCount);
    if (count == 0 || leadCount > count || size != listEnd + 4 * (qint64(count) + 1))
        return false;
    if (ReadU64(p + 16) != tableChecksum(p, listEnd))
        return false; // damaged
    // Made for this very index and entry file; else it is of another import.
    const quint64 total = ReadU64(p + 40);
    if (ReadU64(p + 24) != quint64(index->Size()) || ReadU64(p + 32) != quint64(owner.TdbSize) ||
        QByteArrayView(p + kTableTdbHeaderAt, kHeaderSize) != QByteArrayView(owner.TdbHeader) ||
        total > quint64(std::numeric_limits<int>::max()))
        return false;
    const char* positions = p + listEnd;
    if (ReadU32(positions) != 0 || ReadU32(positions + 4 * qint64(count)) != quint64(index->Size()))
        return false;
    std::vector<int> lead;
    lead.reserve(leadCount);
    for (quint32 k = 0; k < leadCount; ++k) {
        const quint32 record = ReadU32(p + kTableHeaderSize + 4 * qint64(k));
        if (record >= count || (!lead.empty() && record <= quint32(lead.back())))
            return false;
        lead.push_back(int(record));
    }
    auto files = std::make_shared<TIndexWithTable>(TIndexWithTable{index, table});
    AdoptRecordTable(QByteArray::fromRawData(index->Data(), qsizetype(index->Size())), positions,
                     int(count), std::move(files), std::move(lead));
    FTotal += int(total);
    FTableTotal = int(total);
    FMappedTable = table;
    return true;
}

TStatus TWordList::ReadWithoutTable(const QString& path) {
    FTotal -= FTableTotal;
    FTableTotal = 0;
    return LoadFromFile(path);
}

bool TWordList::SplitRecord(QByteArrayView record, quint32 position, TItem& item) const {
    if (record.size() < 3)
        return false;
    const quint32 textLen = uchar(record[0]);
    const quint32 count = ReadU16(record.data() + 1);
    if (count == 0 || quint64(record.size()) != 3 + textLen + 5 * quint64(count))
        return false;
    item = {position + 3, textLen, position + 3 + textLen, count * 5};
    return true;
}

TStatus TWordList::MakeRecordTable(const QByteArray& index, QByteArrayView tdb, QByteArray& out) {
    if (tdb.size() < kHeaderSize)
        return TStatus::Error(QStringLiteral("The entry file is shorter than its header"));
    if (index.size() > qsizetype(kMaxWholeFileBytes))
        return TStatus::Error(QStringLiteral("The index is too large for a record table"));
    TWordList list;
    if (TStatus s = list.Adopt(index, {}, QStringLiteral("the index")); !s.ok())
        return s;
    const std::vector<int>& lead = list.LeadIgnorableList();
    out = QByteArray(kTableHeaderSize, '\0');
    std::memcpy(out.data(), kTableMagic, 8);
    putU32(out, 8, kTableVersion);
    putU32(out, 12, quint32(list.Count()));
    putU64(out, 24, quint64(index.size()));
    putU64(out, 32, quint64(tdb.size()));
    putU64(out, 40, quint64(list.Total()));
    putU32(out, 48, quint32(lead.size()));
    std::memcpy(out.data() + kTableTdbHeaderAt, tdb.data(), kHeaderSize);
    for (const int record : lead)
        AppendU32(out, quint32(record));
    putU64(out, 16, tableChecksum(out.constData(), out.size()));
    out.reserve(out.size() + 4 * (qsizetype(list.Count()) + 1));
    for (qint64 pos = 0; pos < index.size();) {
        AppendU32(out, quint32(pos));
        pos += 3 + uchar(index[pos]) + 5 * qint64(ReadU16(index.constData() + pos + 1));
    }
    AppendU32(out, quint32(index.size()));
    return TStatus::Ok();
}

void TWordList::DropResidentPages() {
    if (const std::shared_ptr<TMappedFile> file = FMapped.lock())
        file->DropResidentPages();
    if (const std::shared_ptr<TMappedFile> table = FMappedTable.lock())
        table->DropResidentPages();
}

void TWordList::WriteRecord(QByteArray& out, QStringView headword, const TTermRefArray& refs) {
    const QByteArray text = CutUtf8(headword.toUtf8(), kMaxHeadwordBytes);
    TTermRefArray ordered;
    ordered.reserve(refs.size());
    for (int rank : {1, 2, 3, 4, 5, 6, 7, 8, 9, 0}) {
        for (const TTermRef& ref : refs) {
            if (ref.Rank == rank)
                ordered.push_back(ref);
        }
    }
    if (ordered.size() > size_t(kMaxReferences))
        ordered.resize(kMaxReferences);
    out.append(char(text.size()));
    AppendU16(out, quint16(ordered.size()));
    out.append(text);
    out.append(PackRefs(ordered));
}

TStatus TWordList::SaveToFile(const QString& path) const {
    QByteArray out;
    for (int i = 0; i < Count(); ++i)
        WriteRecord(out, TextAt(i), RefsAt(i));
    return WriteWholeFile(path, out);
}

} // namespace quillet
