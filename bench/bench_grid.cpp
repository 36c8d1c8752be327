// SPDX-License-Identifier: GPL-2.0-or-later
// The result grid's fill: every row of a result is laid out when the grid is filled, so
// that scrolling knows each row's height. Timed beside the lookup that precedes it and
// the painting of the visible rows that follows it. Needs a QApplication (offscreen).

#include "DictDB.h"
#include "ResultGrid.h"

#include <algorithm>
#include <cstdio>
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QRandomGenerator>
#include <vector>

using namespace quillet;

namespace {

double medianOf(std::vector<double> v) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

template <typename F> double timed(F&& f) {
    QElapsedTimer timer;
    timer.start();
    f();
    return double(timer.nsecsElapsed()) / 1e9;
}

} // namespace

void benchGrid(const QString& folder, bool quick) {
    std::printf("\n== Result grid: Fill with every row laid out, direction 0 ==\n");
    TDictDB db(0, folder);
    if (!db.Open("de_en_dict").ok() || !db.LoadIndex().ok()) {
        std::printf("no dictionary\n");
        return;
    }
    // The grid as the main window shows it at its stored size.
    TResultGrid grid;
    grid.resize(567, 370);
    grid.show();
    QApplication::processEvents();
    QImage canvas(grid.viewport()->size(), QImage::Format_ARGB32_Premultiplied);

    struct TSample {
        double Lookup, Fill, Paint;
        int Rows;
    };
    std::vector<TSample> samples;
    const auto measure = [&](const QString& text) {
        QStringList words;
        TTermPairArray rows;
        TSample s{};
        s.Lookup = timed([&] {
            db.FindWords(text, words);
            (void)db.GetEntries(rows);
        });
        s.Fill = timed([&] { grid.Fill(rows, 0, false, text); });
        s.Paint = timed([&] { grid.viewport()->render(&canvas); });
        s.Rows = grid.RowCount() - 1;
        samples.push_back(s);
        return s;
    };

    QRandomGenerator random(20261208);
    const TWordList& list = db.WordList(0);
    const int count = quick ? 300 : 1500;
    for (int i = 0; i < count; ++i)
        measure(list.TextAt(int(random.bounded(list.Count()))));
    const auto report = [&](const char* what, int minRows) {
        std::vector<double> lookup, fill, paint;
        for (const TSample& s : samples) {
            if (s.Rows < minRows)
                continue;
            lookup.push_back(s.Lookup);
            fill.push_back(s.Fill);
            paint.push_back(s.Paint);
        }
        std::printf("%-26s %5zu results: median lookup %7.1f us, fill %7.1f us, paint %7.1f us "
                    "(fill/paint %.2f)\n",
                    what, fill.size(), medianOf(lookup) * 1e6, medianOf(fill) * 1e6,
                    medianOf(paint) * 1e6, medianOf(fill) / std::max(1e-9, medianOf(paint)));
    };
    report("random headwords", 0);
    report("of them with >= 30 rows", 30);
    std::printf("large results (one run each after a warm-up):\n");
    for (const char* word : {"Haus", "machen", "gehen", "Zug", "auf", "Kopf", "halten"}) {
        measure(QString::fromUtf8(word));
        const TSample s = measure(QString::fromUtf8(word));
        std::printf("  %-8s %4d rows: lookup %7.1f us, fill %7.1f us, paint %7.1f us\n", word,
                    s.Rows, s.Lookup * 1e6, s.Fill * 1e6, s.Paint * 1e6);
    }
}
