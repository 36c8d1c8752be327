// SPDX-License-Identifier: GPL-2.0-or-later
#include "Pronunciations.h"

#include "Collation.h"

#include <new>

namespace quillet {
namespace {

std::string_view sv(QByteArrayView v) {
    return {v.data(), size_t(v.size())};
}

// A record that forms a pair: a key, "=" and a value that does not begin with "=".
bool isPair(QByteArrayView record) {
    const qsizetype eq = record.indexOf('=');
    return eq >= 0 && eq + 1 < record.size() && record[eq + 1] != '=';
}

} // namespace

TStatus TPronunciationTable::LoadFromFile(const QString& path) {
    try {
        return Load(path);
    } catch (const std::bad_alloc&) {
        FLoaded = false;
        FEvery = {};
        FCount = 0;
        FFile.Close();
        return TStatus::Error("Not enough memory to load " + path);
    }
}

TStatus TPronunciationTable::Load(const QString& path) {
    FLoaded = false;
    FEvery = {};
    FCount = 0;
    if (TStatus s = FFile.Open(path, path); !s.ok())
        return s;
    // The offsets are found in one pass over the mapped bytes; lookups bring back the few
    // pages they need.
    const char* data = FFile.Data();
    const qint64 size = FFile.Size();
    std::vector<quint32> every;
    int count = 0;
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
        if (isPair(QByteArrayView(data + pos + 1, len)) && count++ % kStride == 0)
            every.push_back(quint32(pos));
        pos += 1 + len;
    }
    every.shrink_to_fit();
    FFile.DropResidentPages();
    FEvery = std::move(every);
    FCount = count;
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

quint32 TPronunciationTable::PairAt(int index) const {
    // On from the nearest pair the table holds, over the records that are no pairs. The
    // bytes read are bounded by the mapped size, as RecordAt's.
    // The walk stops at the next pair the table holds, so that a file rewritten in place
    // (whose records may now be anything) costs no more than one stride's records.
    const size_t at = size_t(index / kStride);
    const qint64 end = at + 1 < FEvery.size() ? qint64(FEvery[at + 1]) : FFile.Size();
    quint32 pos = FEvery[at];
    for (int skip = index % kStride; skip > 0;) {
        if (qint64(pos) >= end)
            return quint32(end);
        if (isPair(RecordAt(pos)))
            --skip;
        pos += 1 + uchar(FFile.Data()[pos]);
    }
    while (qint64(pos) < end && !isPair(RecordAt(pos)))
        pos += 1 + uchar(FFile.Data()[pos]);
    return qint64(pos) < end ? pos : quint32(end);
}

bool TPronunciationTable::Find(QStringView word, QString& value) const {
    if (FCount == 0)
        return false;
    const QByteArray utf8 = word.toUtf8();
    auto compare = [&](quint32 pos) { return CompareTextUtf8(sv(KeyAt(pos)), sv(utf8)); };
    quint32 hit = PairAt(0);
    if (compare(hit) != 0) {
        // The bisection of a lower bound over the pairs in file order.
        int first = 0;
        for (int length = FCount; length > 0;) {
            const int half = length / 2;
            if (compare(PairAt(first + half)) < 0) {
                first += half + 1;
                length -= half + 1;
            } else {
                length = half;
            }
        }
        if (first == FCount || compare(hit = PairAt(first)) != 0)
            return false;
    }
    value = QString::fromUtf8(ValueAt(hit));
    return true;
}

} // namespace quillet
