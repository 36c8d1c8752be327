// SPDX-License-Identifier: GPL-2.0-or-later
#include "HashList.h"

#include "FileIO.h"
#include "TextTools.h"

#include <new>

namespace quillet {

void THashList::Add(QStringView key, QStringView value) {
    AppendWithBytes(key, value.toUtf8());
}

void THashList::AddSorted(QStringView key, QStringView value) {
    AddSortedWithBytes(key, value.toUtf8());
}

bool THashList::GetPair(int index, QString& key, QString& value) {
    if (!GetText(index, key))
        return false;
    value = ValueAt(CurrentIndex());
    return true;
}

bool THashList::Find(QString& key, QString& value) {
    First();
    const int index = IndexOf(key);
    if (index < 0)
        return false;
    key = TextAt(index);
    value = ValueAt(index);
    return true;
}

TStatus THashList::SaveToFile(const QString& path) const {
    if (Count() == 0)
        return TStatus::Ok();
    QByteArray out;
    for (int i = 0; i < Count(); ++i) {
        QByteArray record = TextBytes(i).toByteArray();
        record.append('=');
        record.append(DataBytes(i));
        record = CutUtf8(std::move(record), kMaxPronunciationRecordBytes);
        out.append(char(record.size()));
        out.append(record);
    }
    return WriteWholeFile(path, out);
}

TStatus THashList::LoadFromFile(const QString& path) {
    try {
        return Load(path);
    } catch (const std::bad_alloc&) {
        FLoaded = false;
        Clear();
        return TStatus::Error("Not enough memory to load " + path);
    }
}

TStatus THashList::Load(const QString& path) {
    FLoaded = false;
    Clear();
    QByteArray bytes;
    if (TStatus s = ReadWholeFile(path, bytes); !s.ok())
        return s;
    // One pass: every record must lie inside the file, and each that forms a pair becomes
    // an item pointing into the file's bytes.
    std::vector<TItem> items;
    const char* data = bytes.constData();
    for (qsizetype pos = 0; pos < bytes.size();) {
        const quint32 len = uchar(data[pos]);
        if (pos + 1 + len > bytes.size())
            return TStatus::Error("File " + path + " is damaged: it ends inside a record");
        const QByteArrayView record(data + pos + 1, len);
        const qsizetype eq = record.indexOf('=');
        if (eq >= 0) {
            const QByteArrayView rest = record.sliced(eq + 1);
            const qsizetype eq2 = rest.indexOf('=');
            TItem item;
            item.TextPos = quint32(pos + 1);
            item.TextLen = quint32(eq);
            item.DataPos = quint32(pos + 1 + eq + 1);
            item.DataLen = quint32(eq2 < 0 ? rest.size() : eq2);
            if (item.DataLen > 0)
                items.push_back(item);
        }
        pos += 1 + len;
    }
    AdoptRecords(std::move(bytes), std::move(items));
    FLoaded = true;
    return TStatus::Ok();
}

} // namespace quillet
