// SPDX-License-Identifier: GPL-2.0-or-later
#include "ImportLines.h"

#include <QUtf8StringView>
#include <thread>

namespace quillet {
namespace {

// A side of an entry line: the text between separators, trimmed like SplitText trims.
QByteArrayView trimmedSide(QByteArrayView side) {
    qsizetype begin = 0, end = side.size();
    while (begin < end && uchar(side[begin]) < 33)
        ++begin;
    while (end > begin && uchar(side[end - 1]) < 33)
        --end;
    return side.sliced(begin, end - begin);
}

} // namespace

std::vector<QByteArrayView> SplitLines(const QByteArray& bytes) {
    std::vector<QByteArrayView> lines;
    const char* data = bytes.constData();
    const qsizetype size = bytes.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const char c = data[i];
        if (c != '\n' && c != '\r')
            continue;
        lines.emplace_back(data + start, i - start);
        if (c == '\r' && i + 1 < size && data[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        lines.emplace_back(data + start, size - start);
    return lines;
}

bool SplitSides(QByteArrayView entry, QByteArrayView (&sides)[2]) {
    int found = 0;
    auto add = [&](QByteArrayView piece) {
        piece = trimmedSide(piece);
        if (piece.isEmpty())
            return true;
        if (found == 2)
            return false;
        sides[found++] = piece;
        return true;
    };
    qsizetype start = 0;
    for (qsizetype hit = entry.indexOf(" :: "); hit >= 0; hit = entry.indexOf(" :: ", start)) {
        if (!add(entry.sliced(start, hit - start)))
            return false;
        start = hit + 4;
    }
    if (start == 0 || start < entry.size()) {
        if (!add(entry.sliced(start)))
            return false;
    }
    return found == 2;
}

TLineScan ScanLine(QByteArrayView raw) {
    TLineScan scan;
    scan.Valid = QUtf8StringView(raw).isValidUtf8();
    scan.Dotted = raw.contains("...");
    // Decoding the whole line drops a byte-order mark at its start (QString::fromUtf8), and
    // the sides are cut from what is left; one further in stays.
    if (scan.Valid && !scan.Dotted)
        scan.Indexed = SplitSides(raw.startsWith("\xEF\xBB\xBF") ? raw.sliced(3) : raw, scan.Sides);
    return scan;
}

TLineScans::TLineScans(std::span<const QByteArrayView> lines)
    : FLines(lines), FScans(lines.size()), FRuns((lines.size() + kRun - 1) / kRun),
      FDone(std::make_unique<std::atomic<bool>[]>(FRuns)) {}

bool TLineScans::ScanNextRun() {
    const size_t run = FNext.fetch_add(1, std::memory_order_relaxed);
    if (run >= FRuns)
        return false;
    for (size_t k = run * kRun; k < std::min((run + 1) * kRun, FLines.size()); ++k)
        FScans[k] = ScanLine(FLines[k]);
    FDone[run].store(true, std::memory_order_release);
    return true;
}

const TLineScan& TLineScans::Get(size_t k) {
    const size_t run = k / kRun;
    // The run may be in the other thread's hands: this one scans the next ones meanwhile,
    // or, with none left, gives the other the core.
    while (!FDone[run].load(std::memory_order_acquire)) {
        if (!ScanNextRun())
            std::this_thread::yield();
    }
    return FScans[k];
}

} // namespace quillet
