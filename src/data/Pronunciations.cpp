// SPDX-License-Identifier: GPL-2.0-or-later
#include "Pronunciations.h"

#include "Collation.h"

#include <algorithm>
#include <new>

namespace quillet {
namespace {

std::string_view sv(QByteArrayView v) {
    return {v.data(), size_t(v.size())};
}

} // namespace

TStatus TPronunciationTable::LoadFromFile(const QString& path) {
    try {
        return Load(path);
    } catch (const std::bad_alloc&) {
        FLoaded = false;
        FRecords = {};
        FFile.Close();
        return TStatus::Error("Not enough memory to load " + path);
    }
}

TStatus TPronunciationTable::Load(const QString& path) {
    FLoaded = false;
    FRecords = {};
    if (TStatus s = FFile.Open(path, path); !s.ok())
        return s;
    // The offsets are found in one pass over the mapped bytes; lookups bring back the few
    // pages they need.
    const char* data = FFile.Data();
    const qint64 size = FFile.Size();
    std::vector<quint32> records;
    records.reserve(size_t(size / 24 + 1));
    // Each mebibyte passed leaves the resident memory at once, so the load never holds
    // the whole file.
    constexpr qint64 kDropStep = 1 << 20;
    qint64 dropped = 0;
    for (qint64 pos = 0; pos < size;) {
        if (pos - dropped >= 2 * kDropStep) {
            FFile.DropResidentPages(dropped, kDropStep);
            dropped += kDropStep;
        }
        const quint32 len = uchar(data[pos]);
        if (pos + 1 + len > size) {
            FFile.Close();
            return TStatus::Error("File " + path + " is damaged: it ends inside a record");
        }
        const QByteArrayView record(data + pos + 1, len);
        const qsizetype eq = record.indexOf('=');
        if (eq >= 0 && eq + 1 < record.size() && record[eq + 1] != '=')
            records.push_back(quint32(pos));
        pos += 1 + len;
    }
    records.shrink_to_fit();
    FFile.DropResidentPages();
    FRecords = std::move(records);
    FLoaded = true;
    return TStatus::Ok();
}

QByteArrayView TPronunciationTable::RecordAt(quint32 pos) const {
    // Checked as loaded, but the file may have been rewritten in place since: bounded by
    // the mapped size, whatever its bytes say now.
    const qint64 room = FFile.Size() - qint64(pos) - 1;
    if (room < 0)
        return {};
    return QByteArrayView(FFile.Data() + pos + 1, qMin<qint64>(uchar(FFile.Data()[pos]), room));
}

QByteArrayView TPronunciationTable::KeyAt(quint32 pos) const {
    const QByteArrayView record = RecordAt(pos);
    const qsizetype eq = record.indexOf('=');
    return eq < 0 ? record : record.first(eq);
}

QByteArrayView TPronunciationTable::ValueAt(quint32 pos) const {
    const QByteArrayView record = RecordAt(pos);
    const qsizetype eq = record.indexOf('=');
    if (eq < 0)
        return {};
    const QByteArrayView rest = record.sliced(eq + 1);
    const qsizetype eq2 = rest.indexOf('=');
    return eq2 < 0 ? rest : rest.first(eq2);
}

bool TPronunciationTable::Find(QStringView word, QString& value) const {
    if (FRecords.empty())
        return false;
    const QByteArray utf8 = word.toUtf8();
    auto compare = [&](quint32 pos) { return CompareTextUtf8(sv(KeyAt(pos)), sv(utf8)); };
    quint32 hit = FRecords.front();
    if (compare(hit) != 0) {
        const auto it = std::partition_point(FRecords.begin(), FRecords.end(),
                                             [&](quint32 pos) { return compare(pos) < 0; });
        if (it == FRecords.end() || compare(*it) != 0)
            return false;
        hit = *it;
    }
    value = QString::fromUtf8(ValueAt(hit));
    return true;
}

} // namespace quillet
