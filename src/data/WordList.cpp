// SPDX-License-Identifier: GPL-2.0-or-later
#include "WordList.h"

#include "FileIO.h"
#include "TextTools.h"

#include <new>

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
    try {
        return Load(path);
    } catch (const std::bad_alloc&) {
        Clear();
        return TStatus::Error("Not enough memory to load " + path);
    }
}

TStatus TWordList::Load(const QString& path) {
    Clear();
    // Read in place: the items point into the mapped file, which the list keeps open.
    auto file = std::make_shared<TMappedFile>();
    if (TStatus s = file->Open(path, path); !s.ok())
        return s;
    // One pass: each record must lie inside the file and have references, so that a
    // damaged file is refused before the list takes any of it.
    const char* data = file->Data();
    const qint64 size = file->Size();
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
    FMapped = file;
    QByteArray arena = QByteArray::fromRawData(data, qsizetype(size));
    AdoptRecords(std::move(arena), std::move(items), std::move(file), &leadCandidates);
    FTotal += int(total);
    return TStatus::Ok();
}

void TWordList::DropResidentPages() {
    if (const std::shared_ptr<TMappedFile> file = FMapped.lock())
        file->DropResidentPages();
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
