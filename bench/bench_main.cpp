// SPDX-License-Identifier: GPL-2.0-or-later
// quillet-bench: timings of the engine on the real default dictionary, each beside the
// literal algorithm or the raw cost it is held against, measured in one run.
//
//   quillet-bench [--folder DIR] [--source FILE] [--quick] [--suggest | --grid | --no-suggest |
//                 --lookup | --import]
//
// DIR holds de_en_dict (default: the build's bin folder); FILE is its source text.
// --suggest and --grid run only the suggestions' or the result grid's section, --lookup only
// the index load's and the lookup's (for profiling), --import only the import's and its
// growth's (to compare two builds of the import side by side); the grid's
// needs widgets and runs them on the offscreen platform unless QT_QPA_PLATFORM says else.

#include "DictDB.h"
#include "Import.h"
#include "LiteralImport.h"
#include "LiteralList.h"
#include "Pronunciations.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

using namespace quillet;

// bench_suggest.cpp
void benchSuggest(const QString& folder, bool quick);
// bench_grid.cpp
void benchGrid(const QString& folder, bool quick);

namespace {

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(p * double(v.size())))];
}

// Resident memory of this process in KiB (VmRSS of /proc/self/status).
double residentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble();
    }
    return 0;
}

const char* verdict(bool met) {
    return met ? "met" : "NOT met";
}

template <typename F> double seconds(F&& f) {
    QElapsedTimer timer;
    timer.start();
    f();
    return double(timer.nsecsElapsed()) / 1e9;
}

void check(const TStatus& status) {
    if (!status.ok()) {
        std::fprintf(stderr, "quillet-bench: %s\n", qPrintable(status.message()));
        std::exit(1);
    }
}

// Writes the first `lines` lines of the source to a file of its own.
QString sliceOf(const QString& source, int lines, const QString& folder) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        check(TStatus::NotFound(source));
    const QString path = folder + QStringLiteral("/slice-%1.txt").arg(lines);
    QFile out(path);
    out.open(QIODevice::WriteOnly);
    for (int i = 0; i < lines && !in.atEnd(); ++i)
        out.write(in.readLine());
    return path;
}

TImportRequest requestFor(const QString& folder, const QString& source, const QString& bin) {
    TImportRequest request;
    request.Folder = folder;
    request.BaseName = QStringLiteral("bench");
    request.SourcePath = source;
    request.StopwordFolders = {bin};
    return request;
}

// --- import ---------------------------------------------------------------------------

void benchImport(const QString& bin, const QString& source, bool quick) {
    std::printf("\n== Import ==\n");
    QTemporaryDir dir;
    const int runs = quick ? 1 : 3;
    std::vector<double> full;
    for (int i = 0; i < runs; ++i) {
        TImportSummary summary;
        full.push_back(
            seconds([&] { check(Import(requestFor(dir.path(), source, bin), summary)); }));
    }
    // The floor: reading the source and sorting its lines, as sort(1) does it.
    std::vector<double> floor;
    for (int i = 0; i < runs; ++i) {
        floor.push_back(seconds([&] {
            QProcess sort;
            sort.setStandardOutputFile(QProcess::nullDevice());
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("LC_ALL", "C.UTF-8");
            sort.setProcessEnvironment(env);
            sort.start("sort", {source});
            sort.waitForFinished(120000);
        }));
    }
    const double importTime = median(full), floorTime = median(floor);
    std::printf("full source (%s), median of %d: %.2f s; sort of the source: %.2f s (ratio "
                "%.1f)\n  target: at most 1.5 s   %s\n",
                qPrintable(source), runs, importTime, floorTime, importTime / floorTime,
                verdict(importTime <= 1.5));

    // Peak memory of the whole program doing the same, beside sort's.
    auto peakOf = [](const QString& program, const QStringList& args) {
        std::fflush(stdout);
        const pid_t pid = fork();
        if (pid == 0) {
            std::freopen("/dev/null", "w", stdout);
            std::vector<QByteArray> bytes;
            for (const QString& a : args)
                bytes.push_back(a.toLocal8Bit());
            std::vector<char*> argv;
            const QByteArray name = program.toLocal8Bit();
            argv.push_back(const_cast<char*>(name.constData()));
            for (QByteArray& b : bytes)
                argv.push_back(b.data());
            argv.push_back(nullptr);
            execvp(argv[0], argv.data());
            _exit(127);
        }
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        return double(usage.ru_maxrss) / 1024.0;
    };
    const QString cli = bin + "/quillet-cli";
    const double peak = peakOf(cli, {"--folder", dir.path(), "import", "--name", "peak", source});
    const double sortPeak = peakOf("sort", {source});
    std::printf("peak memory of quillet-cli import: %.0f MiB; of sort: %.0f MiB\n  target: at "
                "most 300 MiB   %s\n",
                peak, sortPeak, verdict(peak <= 300));
    std::printf("\n%-8s %12s %12s %8s\n", "lines", "literal s", "engine s", "ratio");
    for (int lines : {5000, 10000, 20000}) {
        const QString slice = sliceOf(source, lines, dir.path());
        TImportSummary summary;
        const double ours =
            seconds([&] { check(Import(requestFor(dir.path(), slice, bin), summary)); });
        const double literal = seconds([&] {
            check(ref::LiteralImport(dir.path(), "literal", slice, "bench", {bin}, lines));
        });
        std::printf("%-8d %12.2f %12.3f %7.0fx\n", lines, literal, ours, literal / ours);
    }
}

// --- opening and loading ----------------------------------------------------------------

void benchLoad(const QString& folder, bool quick) {
    std::printf("\n== Opening the dictionary and loading the larger index ==\n");
    const int direction =
        QFileInfo(folder + "/de_en_dict.tx1").size() >= QFileInfo(folder + "/de_en_dict.tx2").size()
            ? 0
            : 1;
    const QString index = folder + (direction == 0 ? "/de_en_dict.tx1" : "/de_en_dict.tx2");
    std::vector<double> load, raw;
    const int runs = quick ? 5 : 21;
    for (int i = 0; i < runs; ++i) {
        raw.push_back(seconds([&] {
            QFile file(index);
            file.open(QIODevice::ReadOnly);
            volatile qsizetype n = file.readAll().size();
            (void)n;
        }));
        load.push_back(seconds([&] {
            TDictDB db(direction, folder);
            check(db.Open("de_en_dict"));
            check(db.LoadIndex());
        }));
    }
    const double l = median(load), r = median(raw);
    std::printf("%s (%.1f MiB), median of %d:\n", qPrintable(QFileInfo(index).fileName()),
                double(QFileInfo(index).size()) / 1048576.0, runs);
    std::printf("  read the file's bytes:   %7.1f ms\n", r * 1000);
    std::printf("  create + Open + LoadIndex: %5.1f ms   ratio %.2f   (goal: ratio at most 3)\n",
                l * 1000, l / r);
}

// --- lookups ------------------------------------------------------------------------------

struct TQuery {
    QString Text;
    const char* Kind;
};

QString misspell(QString word, QRandomGenerator& random) {
    if (word.size() < 3)
        return word + u'e';
    const int at = int(random.bounded(word.size() - 1)) + 1;
    switch (random.bounded(3)) {
    case 0:
        word.remove(at, 1);
        break;
    case 1:
        std::swap(word[at - 1], word[at]);
        break;
    default:
        word.insert(at, QChar(u'a' + random.bounded(26)));
        break;
    }
    return word;
}

std::vector<TQuery> makeQueries(TDictDB& db, int count) {
    QRandomGenerator random(20261207);
    const TWordList& list = db.WordList(db.Direction());
    std::vector<TQuery> queries;
    auto headword = [&] {
        for (;;) { // real words: letters, not single characters
            QString w = list.TextAt(int(random.bounded(list.Count())));
            if (w.size() > 2 && w.front().isLetter())
                return w;
        }
    };
    for (int i = 0; i < count; ++i) {
        switch (i % 4) {
        case 0:
            queries.push_back({headword(), "word"});
            break;
        case 1: {
            const QString w = headword();
            queries.push_back(
                {w.left(1 + int(random.bounded(qMax(1, int(w.size()) - 1)))), "prefix"});
            break;
        }
        case 2:
            queries.push_back({misspell(headword(), random), "misspelling"});
            break;
        default:
            queries.push_back({headword() + u' ' + headword().left(4), "two words"});
            break;
        }
    }
    return queries;
}

void benchLookup(const QString& folder, bool quick) {
    std::printf("\n== Lookup (FindWords + GetEntries), direction 0 ==\n");
    TDictDB db(0, folder);
    check(db.Open("de_en_dict"));
    check(db.LoadIndex());
    const std::vector<TQuery> queries = makeQueries(db, quick ? 400 : 2000);

    std::vector<double> times;
    std::vector<double> byKind[4];
    QStringList words;
    TTermPairArray rows;
    for (size_t i = 0; i < queries.size(); ++i) {
        const double t = seconds([&] {
            db.FindWords(queries[i].Text, words);
            check(db.GetEntries(rows));
        });
        times.push_back(t);
        byKind[i % 4].push_back(t);
    }
    std::printf("%zu queries: median %.1f us, 90th percentile %.1f us, 99th percentile %.1f us, "
                "max %.1f us\n",
                times.size(), median(times) * 1e6, percentile(times, 0.9) * 1e6,
                percentile(times, 0.99) * 1e6, *std::max_element(times.begin(), times.end()) * 1e6);
    std::printf("  target: median at most 12 us           %6.1f us   %s\n", median(times) * 1e6,
                verdict(median(times) <= 12e-6));
    std::printf("  target: 99th percentile at most 100 us %6.1f us   %s\n",
                percentile(times, 0.99) * 1e6, verdict(percentile(times, 0.99) <= 100e-6));
    std::vector<size_t> order(times.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return times[a] > times[b]; });
    std::printf("  slowest:");
    for (size_t i = 0; i < std::min<size_t>(5, order.size()); ++i)
        std::printf(" '%s' %.0f us;", qPrintable(queries[order[i]].Text), times[order[i]] * 1e6);
    std::printf("\n");
    const char* kinds[4] = {"word", "prefix", "misspelling", "two words"};
    for (int k = 0; k < 4; ++k)
        std::printf("  %-12s median %.1f us\n", kinds[k], median(byKind[k]) * 1e6);

    // The same one-word queries through the literal list: a backward scan from the last
    // headword, as the straightforward algorithm does.
    ref::TLiteralList literal;
    const TWordList& list = db.WordList(0);
    for (int i = 0; i < list.Count(); ++i)
        literal.Append(list.TextAt(i));
    std::vector<double> ours, theirs;
    const int sample = quick ? 40 : 200;
    for (int i = 0; i < sample; ++i) {
        const QString& text = queries[size_t(i % 3 == 2 ? i + 1 : i)].Text; // skip multi-word
        ours.push_back(seconds([&] { db.WordList(0).Locate(text); }));
        theirs.push_back(seconds([&] { literal.Locate(text); }));
        if (literal.CurrentIndex() != db.WordList(0).CurrentIndex())
            std::printf("  MISMATCH for '%s'\n", qPrintable(text));
    }
    std::printf("Locate alone on %d one-word queries: engine median %.2f us, literal scan median "
                "%.0f us (%.0fx)\n",
                sample, median(ours) * 1e6, median(theirs) * 1e6, median(theirs) / median(ours));

    // Texts whose prefix range is long: the scan inside it is the only part that grows.
    std::printf("worst cases (median of 5 runs each):\n");
    double slowest = *std::max_element(times.begin(), times.end());
    for (const char* text : {"a", "ä", "á", "Kase", "s", "zzzz", "to", "der die das", "\u0001",
                             "\u00AD", "\u200B", "\u0301"}) {
        std::vector<double> runs;
        for (int i = 0; i < 5; ++i) {
            runs.push_back(seconds([&] {
                db.FindWords(QString::fromUtf8(text), words);
                check(db.GetEntries(rows));
            }));
            db.FindWords(u"Haus", words); // away again: the next run starts afresh
        }
        const double t = median(runs);
        const QString shown = QString::fromUtf8(text);
        const bool printable = shown.front().isLetter();
        slowest = std::max(slowest, t);
        std::printf("  %-12s %8.1f us  (%zu rows)\n",
                    printable ? text
                              : qPrintable(QStringLiteral("U+%1").arg(shown.front().unicode(), 4,
                                                                      16, QChar(u'0'))),
                    t * 1e6, rows.size());
    }
    std::printf("  target: no query above 1 ms (the mix and these)  slowest %.1f us   %s\n",
                slowest * 1e6, verdict(slowest <= 1e-3));
}

// --- the pronunciation table ----------------------------------------------------------------

void benchPronunciations(const QString& folder, bool quick) {
    std::printf("\n== The pronunciation table (de_en_dict.ipa) ==\n");
    const QString path = folder + "/de_en_dict.ipa";
    if (!QFile::exists(path)) {
        std::printf("no %s (scripts/prepare-dictionary with quillet-espeak)\n", qPrintable(path));
        return;
    }
    std::vector<double> load, raw, memory;
    int records = 0;
    for (int i = 0; i < (quick ? 5 : 11); ++i) {
        raw.push_back(seconds([&] {
            QFile file(path);
            file.open(QIODevice::ReadOnly);
            volatile qsizetype n = file.readAll().size();
            (void)n;
        }));
        TDictDB db(0, folder);
        check(db.Open("de_en_dict"));
        const double before = residentKiB();
        load.push_back(seconds([&] { check(db.LoadPronunciations()); }));
        memory.push_back((residentKiB() - before) / 1024.0);
        QString ipa;
        if (!db.GetPronunciation(u"Haus", ipa))
            std::printf("  no pronunciation for Haus\n");
        TPronunciationTable table;
        check(table.LoadFromFile(path));
        records = table.Count();
    }
    const double l = median(load), m = median(memory);
    std::printf("%d pronunciations (%.1f MiB file); reading the file's bytes %.1f ms\n", records,
                double(QFileInfo(path).size()) / 1048576.0, median(raw) * 1000);
    std::printf("  target: loaded in at most 20 ms   %6.1f ms   %s\n", l * 1000,
                verdict(l <= 0.020));
    std::printf("  target: at most 12 MB             %6.1f MiB resident   %s\n", m,
                verdict(m <= 12));
}

// --- growth with the dictionary --------------------------------------------------------------

void benchGrowth(const QString& bin, const QString& source, bool quick) {
    std::printf("\n== Growth: the first 25 %%, 50 %%, 100 %% of the source lines ==\n");
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        check(TStatus::NotFound(source));
    int total = 0;
    while (!in.atEnd()) {
        in.readLine();
        ++total;
    }
    QTemporaryDir dir;
    std::printf("%-8s %10s %10s %12s %12s %12s %14s\n", "share", "lines", "headwords", "import s",
                "load ms", "load MiB", "lookup median");
    double first[3] = {0, 0, 0};
    for (int share : {25, 50, 100}) {
        const int lines = int(qint64(total) * share / 100);
        const QString slice = sliceOf(source, lines, dir.path());
        TImportRequest request = requestFor(dir.path(), slice, bin);
        request.BaseName = QStringLiteral("de_en_dict");
        TImportSummary summary;
        std::vector<double> imports;
        for (int i = 0; i < (quick ? 1 : 3); ++i)
            imports.push_back(seconds([&] { check(Import(request, summary)); }));
        std::vector<double> loads, memory;
        for (int i = 0; i < (quick ? 3 : 7); ++i) {
            const double before = residentKiB();
            TDictDB db(0, dir.path());
            loads.push_back(seconds([&] {
                check(db.Open("de_en_dict"));
                check(db.LoadIndex());
            }));
            memory.push_back((residentKiB() - before) / 1024.0);
        }
        TDictDB db(0, dir.path());
        check(db.Open("de_en_dict"));
        check(db.LoadIndex());
        std::vector<double> times;
        QStringList words;
        TTermPairArray rows;
        for (const TQuery& q : makeQueries(db, quick ? 400 : 2000)) {
            times.push_back(seconds([&] {
                db.FindWords(q.Text, words);
                check(db.GetEntries(rows));
            }));
        }
        const double figures[3] = {median(imports), median(loads), median(times)};
        std::printf("%-7d%% %10d %10d %12.2f %12.1f %12.1f %11.1f us\n", share, lines,
                    db.HeadwordCount(), figures[0], figures[1] * 1000, median(memory),
                    figures[2] * 1e6);
        if (share == 25)
            std::copy(figures, figures + 3, first);
        else if (share == 100)
            std::printf(
                "4x the lines: import %.1fx (n log n: %.1fx), load %.1fx (linear: 4x), lookup "
                "%.2fx (logarithmic: %.2fx)\n",
                figures[0] / first[0], 4 * std::log2(double(lines)) / std::log2(lines / 4.0),
                figures[1] / first[1], figures[2] / first[2],
                std::log2(double(db.HeadwordCount())) / std::log2(double(db.HeadwordCount()) / 4));
    }
}

// --- a whole process answering queries -------------------------------------------------------

void benchProcess(const QString& bin, const QString& folder) {
    std::printf("\n== quillet-cli lookup --stdin --json, 10,000 queries ==\n");
    TDictDB db(0, folder);
    check(db.Open("de_en_dict"));
    check(db.LoadIndex());
    QByteArray input;
    for (const TQuery& q : makeQueries(db, 10000))
        input += q.Text.toUtf8() + '\n';
    // The answer the peers give too (headword, word-list window, rows), then the same with
    // the suggestions, which cost more than the lookup itself.
    auto timeRuns = [&](QStringList arguments) {
        std::vector<double> runs;
        for (int i = 0; i < 3; ++i) {
            runs.push_back(seconds([&] {
                QProcess process;
                process.start(bin + "/quillet-cli", arguments);
                process.write(input);
                process.closeWriteChannel();
                process.waitForFinished(120000);
                process.readAllStandardOutput();
            }));
        }
        return median(runs);
    };
    const double plain =
        timeRuns({"--folder", folder, "lookup", "--json", "--no-suggestions", "--stdin"});
    const double withSuggestions = timeRuns({"--folder", folder, "lookup", "--json", "--stdin"});
    std::printf("median of 3, --no-suggestions: %.2f s\n  target: at most 0.4 s   %s   (the peers: "
                "bench/peers.sh)\n",
                plain, verdict(plain <= 0.4));
    std::printf("median of 3, with the suggestions: %.2f s\n  target: at most 3 s     %s\n",
                withSuggestions, verdict(withSuggestions <= 3));
}

} // namespace

int main(int argc, char* argv[]) {
    bool gridOnly = false; // only the result grid's section, which needs widgets
    for (int i = 1; i < argc; ++i)
        gridOnly = gridOnly || std::strcmp(argv[i], "--grid") == 0;
    if (gridOnly && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::unique_ptr<QCoreApplication> application =
        gridOnly ? std::make_unique<QApplication>(argc, argv)
                 : std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication& app = *application;
    QString folder = QStringLiteral(QUILLET_BIN_DIR);
    QString source = QStringLiteral("/usr/share/trans/de-en");
    bool quick = false;
    bool suggestOnly = false; // only the suggestions' section
    bool noSuggest = false;   // every section but the suggestions' one
    bool lookupOnly = false;  // only the index load and the lookups
    bool importOnly = false;  // only the import and its growth
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == u"--folder" && i + 1 < args.size())
            folder = args[++i];
        else if (args[i] == u"--source" && i + 1 < args.size())
            source = args[++i];
        else if (args[i] == u"--quick")
            quick = true;
        else if (args[i] == u"--suggest")
            suggestOnly = true;
        else if (args[i] == u"--no-suggest")
            noSuggest = true;
        else if (args[i] == u"--lookup")
            lookupOnly = true;
        else if (args[i] == u"--import")
            importOnly = true;
    }
    if (!QFile::exists(folder + "/de_en_dict.tdb")) {
        std::fprintf(stderr,
                     "quillet-bench: no de_en_dict in %s (run scripts/prepare-dictionary)\n",
                     qPrintable(folder));
        return 1;
    }
    std::printf("quillet-bench on %s, %d cores\n", qPrintable(folder), QThread::idealThreadCount());
    if (suggestOnly) {
        benchSuggest(folder, quick);
        return 0;
    }
    if (gridOnly) {
        benchGrid(folder, quick);
        return 0;
    }
    if (importOnly) {
        benchImport(QStringLiteral(QUILLET_BIN_DIR), source, quick);
        benchGrowth(QStringLiteral(QUILLET_BIN_DIR), source, quick);
        return 0;
    }
    benchLoad(folder, quick);
    benchLookup(folder, quick);
    if (lookupOnly)
        return 0;
    benchPronunciations(folder, quick);
    if (!noSuggest)
        benchSuggest(folder, quick);
    benchProcess(QStringLiteral(QUILLET_BIN_DIR), folder);
    benchImport(QStringLiteral(QUILLET_BIN_DIR), source, quick);
    benchGrowth(QStringLiteral(QUILLET_BIN_DIR), source, quick);
    return 0;
}
