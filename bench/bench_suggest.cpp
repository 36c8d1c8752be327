// SPDX-License-Identifier: GPL-2.0-or-later
// Suggestions on the real default dictionary: building their index for both directions
// (time, memory) and answering, beside the plain lookup on the same queries.

#include "Collation.h"
#include "DictDB.h"
#include "Suggest.h"
#include "SuggestIndex.h"

#include <algorithm>
#include <cstdio>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <vector>

using namespace quillet;

namespace {

double medianOf(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double percentileOf(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[std::min(v.size() - 1, size_t(p * double(v.size())))];
}

qint64 residentBytes() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    return statm.readAll().split(' ').value(1).toLongLong() * 4096;
}

QString typo(QString w, QRandomGenerator& random) {
    const int at = int(random.bounded(w.size() - 1));
    switch (random.bounded(4)) {
    case 0:
        w.remove(at, 1);
        break;
    case 1:
        std::swap(w[at], w[at + 1]);
        break;
    case 2:
        w[at] = QChar(u'a' + random.bounded(26));
        break;
    default:
        w.insert(at, QChar(u'a' + random.bounded(26)));
        break;
    }
    return w;
}

QString withoutUmlauts(QString w) {
    const char16_t* pairs[][2] = {{u"ä", u"ae"}, {u"ö", u"oe"}, {u"ü", u"ue"}, {u"ß", u"ss"},
                                  {u"Ä", u"Ae"}, {u"Ö", u"Oe"}, {u"Ü", u"Ue"}};
    for (const auto& [from, to] : pairs)
        w.replace(QString::fromUtf16(from), QString::fromUtf16(to));
    return w;
}

} // namespace

void benchSuggest(const QString& folder, bool quick) {
    std::printf("\n== Suggestions (direction 0, index of both directions) ==\n");
    const qint64 before = residentBytes();
    auto db = std::make_unique<TDictDB>(0, folder);
    if (!db->Open("de_en_dict").ok() || !db->LoadIndex().ok())
        return;
    const qint64 withLookup = residentBytes();
    // The suggester the queries use, built first so that its memory is the process's new
    // memory (a later build reuses what earlier ones freed).
    const qint64 beforeSuggester = residentBytes();
    TSuggester suggester;
    if (TStatus st = suggester.Build(*db); !st.ok()) {
        std::printf("build failed: %s\n", qPrintable(st.message()));
        return;
    }
    suggester.WaitForStems();
    const qint64 withSuggestions = residentBytes();
    std::vector<double> build, ready;
    TSuggestStats stats = suggester.Stats();
    const int runs = quick ? 3 : 9;
    for (int i = 0; i < runs; ++i) {
        TSuggester s;
        QElapsedTimer t;
        t.start();
        (void)s.Build(*db);
        build.push_back(double(t.nsecsElapsed()) / 1e6);
        s.WaitForStems();
        ready.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::printf("index %s, median of %d: %.1f ms   (goal: at most 300 ms)\n",
                stats.FromFile ? "read from de_en_dict.sug" : "made without de_en_dict.sug", runs,
                medianOf(build));
    if (!stats.FromFile)
        std::printf("  (%s; headwords and trie %lld ms, entry forms %lld ms)\n",
                    qPrintable(stats.IndexNote), stats.ListsMs, stats.FormsMs);
    std::printf("Hunspell dictionaries, opened on their own thread: ready %.1f ms after Build "
                "began (median)\n",
                medianOf(ready));
    {
        QByteArray files[3];
        const QString base = folder + "/de_en_dict.";
        for (int f = 0; f < 3; ++f) {
            QFile file(base + (f == 0 ? "tdb" : f == 1 ? "tx1" : "tx2"));
            if (file.open(QIODevice::ReadOnly))
                files[f] = file.readAll();
        }
        QByteArray made;
        qint64 formsMs = 0;
        QElapsedTimer t;
        t.start();
        (void)TSuggestIndex::Make(files[0], files[1], files[2], made, &formsMs);
        std::printf("making the index as the import does: %lld ms (of it the entry forms %lld ms), "
                    "%.1f MiB\n",
                    t.elapsed(), formsMs, double(made.size()) / 1048576);
    }
    std::printf("memory: index %.1f MiB by its own count; resident +%.1f MiB with the Hunspell "
                "dictionaries (the lookup's index: +%.1f MiB)   (goal: at most 60 MiB)\n",
                double(stats.Bytes) / 1048576, double(withSuggestions - beforeSuggester) / 1048576,
                double(withLookup - before) / 1048576);
    std::printf("indexed one-word headwords %d / %d, entry forms %d / %d, Hunspell %s / %s\n",
                stats.Words[0], stats.Words[1], stats.Forms[0], stats.Forms[1],
                stats.Stems[0] ? "yes" : "no", stats.Stems[1] ? "yes" : "no");

    // Queries: real words with one and two typing errors, umlaut-free spellings,
    // inflected forms (through Hunspell and the form lists) and English words.
    QRandomGenerator random(20261208);
    const TWordList& german = db->WordList(0);
    TDictDB english(1, folder);
    (void)english.Open("de_en_dict");
    (void)english.LoadIndex();
    auto pick = [&](const TWordList& list, auto&& accept) {
        for (;;) {
            const int i = int(random.bounded(list.Count()));
            const QString w = list.TextAt(i);
            if (w.size() > 3 && w.front().isLetter() && !w.contains(u' ') && accept(w))
                return w;
        }
    };
    const char* kinds[] = {"1 typo", "2 typos", "no umlauts", "inflected", "English"};
    std::vector<std::pair<QString, int>> queries;
    const int perKind = quick ? 200 : 1000;
    for (int i = 0; i < perKind; ++i) {
        queries.emplace_back(typo(pick(german, [](const QString&) { return true; }), random), 0);
        queries.emplace_back(
            typo(typo(pick(german, [](const QString& w) { return w.size() >= 8; }), random),
                 random),
            1);
        queries.emplace_back(
            withoutUmlauts(pick(german, [](const QString& w) { return w != withoutUmlauts(w); })),
            2);
        static const QString endings[] = {"en", "er", "ern", "es", "s", "n", "e"};
        queries.emplace_back(pick(german, [](const QString& w) { return w.front().isUpper(); }) +
                                 endings[random.bounded(7)],
                             3);
        queries.emplace_back(pick(english.WordList(1), [](const QString&) { return true; }), 4);
    }
    std::vector<double> lookup, suggest, byKind[5];
    std::vector<std::pair<double, QString>> slowest;
    QStringList words;
    TTermPairArray rows;
    int answered = 0;
    for (const auto& [text, kind] : queries) {
        QElapsedTimer t;
        t.start();
        db->FindWords(text, words);
        (void)db->GetEntries(rows);
        lookup.push_back(double(t.nsecsElapsed()) / 1e3);
        QString shown;
        db->WordList(0).GetCurrentText(shown);
        t.restart();
        const TSuggestionArray s = suggester.Suggest(text, 0, shown);
        const double us = double(t.nsecsElapsed()) / 1e3;
        suggest.push_back(us);
        byKind[kind].push_back(us);
        slowest.emplace_back(us, text);
        answered += !s.empty();
    }
    std::printf("%zu queries (%d with suggestions):\n", queries.size(), answered);
    std::printf(
        "  plain lookup (FindWords + GetEntries): median %.0f us, 99th percentile %.0f us\n",
        medianOf(lookup), percentileOf(lookup, 0.99));
    std::printf("  Suggest:                               median %.0f us, 99th percentile %.0f "
                "us, max %.0f us   (goals: median at most 1000 us, 99th at most 10000 us)\n",
                medianOf(suggest), percentileOf(suggest, 0.99),
                *std::max_element(suggest.begin(), suggest.end()));
    for (int k = 0; k < 5; ++k)
        std::printf("    %-11s median %5.0f us, 99th percentile %6.0f us\n", kinds[k],
                    medianOf(byKind[k]), percentileOf(byKind[k], 0.99));
    std::sort(slowest.rbegin(), slowest.rend());
    std::printf("  slowest:");
    for (size_t i = 0; i < slowest.size() && i < 6; ++i)
        std::printf(" %s %.0f us%s", qPrintable(slowest[i].second), slowest[i].first,
                    i + 1 < 6 ? "," : "\n");
}
