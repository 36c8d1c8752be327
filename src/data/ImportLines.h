// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <atomic>
#include <memory>
#include <QByteArray>
#include <QByteArrayView>
#include <span>
#include <vector>

// The import's source as lines of UTF-8 bytes, and what each line's bytes alone tell about
// it, found before any line is decoded.
namespace quillet {

// The source's lines as byte ranges, cut at CR LF, LF or CR.
std::vector<QByteArrayView> SplitLines(const QByteArray& bytes);

// The entry's two sides as SplitText(text, kEntrySeparator, true) finds them: cut at every
// " :: ", trimmed, empty pieces dropped; false unless exactly two remain. On the UTF-8
// bytes, since neither the separator nor the trimmed characters occur inside a multi-byte
// sequence.
bool SplitSides(QByteArrayView entry, QByteArrayView (&sides)[2]);

// What a line's bytes alone tell about it.
struct TLineScan {
    bool Valid = false;
    bool Dotted = false;  // holds "...", stored as "\u2026"
    bool Indexed = false; // two sides, found only for a line stored as read
    QByteArrayView Sides[2];
};

TLineScan ScanLine(QByteArrayView raw);

// The scans of all lines, made in runs by whichever thread claims a run first: the import's
// helper when it has caught up with the thread that reads the lines, that thread when it
// comes to a run no one has claimed.
//
// Thread safety: ScanNextRun() from any thread; Get() from the one thread that reads the
// lines, in their order.
class TLineScans {
public:
    // The lines must outlive the object.
    explicit TLineScans(std::span<const QByteArrayView> lines);
    // Scans the next run no one has claimed; false when none is left.
    bool ScanNextRun();
    // Line k's scan, made by this thread if no one has claimed its run yet.
    const TLineScan& Get(size_t k);

private:
    static constexpr size_t kRun = 64;
    std::span<const QByteArrayView> FLines;
    std::vector<TLineScan> FScans;
    size_t FRuns;
    std::unique_ptr<std::atomic<bool>[]> FDone; // per run
    std::atomic<size_t> FNext = 0;              // the first run no one has claimed
};

} // namespace quillet
