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
    QByteArray bytes;
    if (TStatus s = ReadWholeFile(path, bytes); !s.ok())
        return s;
    // First pass: count the records and check that they fill the file exactly, so that a
    // damaged file is refused before anything is added.
    const char* data = bytes.constData();
    const qsizetype size = bytes.size();
    size_t records = 0;
    qint64 total = 0;
    for (qsizetype pos = 0; pos < size; ++records) {
        if (size - pos < 3)
            return TStatus::Error("File " + path + " is damaged: it ends inside a record");
        const quint32 count = ReadU16(data + pos + 1);
        // No import writes a headword without an entry; a run of zero bytes would
        // otherwise load as millions of empty headwords.
        if (count == 0)
            return TStatus::Error("File " + path + " is damaged: a headword has no entries");
        pos += 3 + uchar(data[pos]) + qsizetype(count) * 5;
        if (pos > size)
            return TStatus::Error("File " + path + " is damaged: it ends inside a record");
        total += count;
    }
    // Second pass: one item per record, pointing into the file's bytes.
    std::vector<TItem> items(records);
    qsizetype pos = 0;
    for (TItem& item : items) {
        item.TextLen = uchar(data[pos]);
        item.DataLen = quint32(ReadU16(data + pos + 1)) * 5;
        item.TextPos = quint32(pos + 3);
        item.DataPos = item.TextPos + item.TextLen;
        pos = item.DataPos + item.DataLen;
    }
    AdoptRecords(std::move(bytes), std::move(items));
    FTotal += int(total);
    return TStatus::Ok();
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
