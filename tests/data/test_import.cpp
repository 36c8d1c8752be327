// SPDX-License-Identifier: GPL-2.0-or-later
// Term extraction and the building of dictionary and pronunciation files.
#include "Collation.h"
#include "DictFormat.h"
#include "HashList.h"
#include "Import.h"
#include "TermExtract.h"
#include "TestFiles.h"
#include "WordList.h"

#include <cstring>
#include <optional>
#include <QTemporaryDir>
#include <QtTest>

using namespace quillet;
using namespace Qt::StringLiterals;

namespace {

const QString kShippedStopwords = QStringLiteral(QUILLET_SOURCE_DIR "/data");
const char* const kExts[3] = {".tdb", ".tx1", ".tx2"};

// An index record; `refs` are (offset, rank) in stored order.
QByteArray record(const QByteArray& word, std::initializer_list<std::pair<quint32, char>> refs) {
    QByteArray out = char(word.size()) + QByteArray(1, char(refs.size())) + '\0' + word;
    for (const auto& [offset, rank] : refs)
        out.append(reinterpret_cast<const char*>(&offset), 4).append(rank); // little-endian host
    return out;
}

// The entries of a .tdb from the end of its header: offset and text.
QList<std::pair<quint32, QByteArray>> entries(const QByteArray& tdb) {
    QList<std::pair<quint32, QByteArray>> out;
    for (qsizetype pos = kHeaderSize, n; pos + 2 <= tdb.size(); pos += 2 + n) {
        n = uchar(tdb[pos]) | uchar(tdb[pos + 1]) << 8;
        out.append({quint32(pos), tdb.mid(pos + 2, n)});
    }
    return out;
}

// Every headword with the rank of its first reference.
QStringList headwords(const QString& indexPath) {
    TWordList list;
    QStringList out;
    if (list.LoadFromFile(indexPath).ok())
        for (int i = 0; i < list.Count(); ++i)
            out.append(list.TextAt(i) + ':' + QString::number(list.RefsAt(i)[0].Rank));
    return out;
}

struct TRun {
    TStatus Status;
    TImportSummary Summary;
    QList<int> WarnedLines;
    QList<std::pair<int, int>> Progress;
};

// Imports `source` (unless null) as <folder>/<base>.*; `request` may bring a title, a cancel
// flag, a progress hook and stopword folders (the shipped lists when none).
TRun import(const QString& folder, const QString& base, const QByteArray& source,
            TImportRequest request = {}) {
    TRun run;
    request.Folder = folder;
    request.BaseName = base;
    request.SourcePath = folder + "/" + base + ".src";
    if (request.StopwordFolders.isEmpty())
        request.StopwordFolders = {kShippedStopwords};
    if (!source.isNull())
        writeAll(request.SourcePath, source);
    request.Progress = [&run, hook = request.Progress](int k, int count) {
        run.Progress.append({k, count});
        if (hook)
            hook(k, count);
    };
    request.Warning = [&](int line, const QString&) { run.WarnedLines.append(line); };
    run.Status = Import(request, run.Summary);
    QFile::remove(request.SourcePath);
    return run;
}

} // namespace

class TestImport : public QObject {
    Q_OBJECT
    std::optional<QTemporaryDir> FDir; // a fresh folder for every test
    QString path(const QString& name) const { return FDir->filePath(name); }

private slots:
    void init() { QVERIFY(FDir.emplace().isValid()); }

    void extractTerms_data() {
        QTest::addColumn<QString>("side");
        QTest::addColumn<QString>("stopword");
        QTest::addColumn<QString>("expected");
        const char* const rows[][3] = {
            {"gehen", "", "gehen:1"},
            {"to go", "", "to:4 go:2"},
            {"to go {vi}", "", "to:4 go:2"},
            {"to go {vi", "", "to:4 go:2"}, // rule 2: the third word begins with "{"
            {"To go", "", "To:4 go:8"},
            {"to go; to walk", "", "to:4 go:8 walk:8"},
            {"Bank | Sitzbank", "", "Bank:1 Sitzbank:2"},
            {"Bank | Sitz; Hocker", "", "Bank:1 Sitz:3 Hocker:3"},
            {"Haus {n}", "", "Haus:1"},
            {"Hof; Haus {n", "", "Hof:3 Haus:3"},
            {"etw. tun", "", "tun:8"},
            {"etw. tun", "tun", "tun:0"},
            {"(sich) freuen", "", "sich:9 freuen:8"},
            {"(sich) freuen", "SICH", "sich:0 freuen:8"},
            {"a; b", "", "a:3"},
            {"schönes Haus; Haus", "", "schönes:4 Haus:3"},
            {"Bank | alte Stadt", "", "Bank:1 alte:5 Stadt:8"},
            {"x; alte Stadt", "", "alte:7 Stadt:8"},
            {"x; alte [ugs.] Stadt", "", "alte:6 Stadt:8"},
            {"\"Haus123\"!?, ^$%&+=<>°©®~'", "", "Haus:1"},
            {"Tür/Tor:Zaun", "", "Tür:4 Tor:8 Zaun:8"},
            {"[ugs.] -los …lich .net usw. Haus- Wort {x", "", "Wort:8"},
            {"I a x A", "", "I:4 a:8"},
            {"schönes haus; Haus; HAUS", "", "schönes:4 haus:3"},
            {"etw. die; die", "die", "die:0"},
            {"Dank für", "FÜR", "Dank:4 für:0"},
            {"(zu) (etw.) (Haus-) (von [ugs.] oben) (hin;her) gehen", "",
             "von:9 oben:9 hin:9 her:9 gehen:8"},
            {"(Haus) Haus", "", "Haus:8"},
            {"Haus (Haus)", "", "Haus:4"}};
        for (const auto& row : rows)
            QTest::addRow("%s [%s]", row[0], row[1]) << row[0] << row[1] << row[2];
    }
    void extractTerms() {
        QFETCH(QString, side);
        QFETCH(QString, stopword);
        QFETCH(QString, expected);
        TTermClasses classes;
        TStopwords list;
        if (!stopword.isEmpty())
            list.Add(stopword, classes);
        QStringList got;
        for (const TTermRec& term : ExtractTerms(side, list, classes))
            got.append(term.Term + ':' + QString::number(term.Rank));
        QCOMPARE(got.join(' '), expected);
    }

    void writesExactBytes() {
        TImportRequest request;
        request.Meta.Name = u"Wörterbuch"_s + QString(50, u'x'); // 60 characters
        const QDate today = QDate::currentDate();
        const TRun run = import(FDir->path(), "d",
                                "# note\nHaus :: house\nabc\nwarten ... :: wait ...\n", request);
        QVERIFY(run.Status.ok());
        const QByteArray tdb = readAll(path("d.tdb"));
        QCOMPARE(tdb.left(51), "\x32W\xF6rterbuch" + QByteArray(40, 'x'));
        QCOMPARE(tdb.mid(51, 6), "\x05UTF-8");
        QCOMPARE(tdb.mid(62, 8) + tdb.mid(113, 3), "\7Deutsch\2de");
        QCOMPARE(tdb.mid(116, 9) + tdb.mid(167, 3), "\10Englisch\2en");
        QCOMPARE(tdb.mid(172, 4), "\x00\x04\x01\x00"_ba);
        double day;
        std::memcpy(&day, tdb.constData() + 176, 8);
        QVERIFY(day == DayNumber(today) || day == DayNumber(today.addDays(1)));
        QCOMPARE(BuildHeader("x", QDate(2007, 1, 1)).mid(176), "\0\0\0\0\x60\x15\xE3\x40"_ba);
        const QByteArray dots = u"warten … :: wait …"_s.toUtf8();
        QCOMPARE(tdb.mid(kHeaderSize),
                 "\15\0Haus :: house\3\0abc"_ba + char(dots.size()) + '\0' + dots);
        QCOMPARE(readAll(path("d.tx1")),
                 "\x04\x01\x00Haus\xB8\x00\x00\x00\x01"_ba + record("warten", {{204, 4}}));
        QCOMPARE(readAll(path("d.tx2")), record("house", {{184, 1}}) + record("wait", {{204, 4}}));
    }

    void lineEndsAndByteOrderMark() {
        const QByteArrayList lines = {"# c", "Haus :: house", "abc", "Baum | Busch :: tree; bush"};
        const QByteArray variants[4] = {lines.join('\n') + '\n', lines.join('\r'),
                                        lines.join("\r\n") + "\r\n",
                                        "\xEF\xBB\xBF" + lines.join("\r\n")};
        for (int v = 0; v < 4; ++v) {
            const QString base = QString::number(v);
            const TRun run = import(FDir->path(), base, variants[v]);
            QVERIFY(run.Status.ok() && run.WarnedLines.isEmpty());
            QCOMPARE(entries(readAll(path(base + ".tdb"))).size(), 3);
            for (const char* ext : kExts)
                QCOMPARE(readAll(path(base + ext)), readAll(path(QString("0") + ext)));
        }
    }

    // Decoding a line drops a byte-order mark at its start only: a line of a mark and
    // blanks has one side, and a mark at the start of a later side stays in its headword.
    void byteOrderMarksInsideTheSource() {
        const TRun run =
            import(FDir->path(), "m", "Baum :: \xEF\xBB\xBFtree\n\xEF\xBB\xBF :: mark\n");
        QVERIFY(run.Status.ok());
        QCOMPARE(run.Summary.IndexedLines, 1);
        QCOMPARE(readAll(path("m.tx2")), record("\xEF\xBB\xBFtree", {{184, 1}}));
    }

    // 250 two-sided lines among comments and one stored-only line: a report at the 100th
    // and the 200th of them; a cancel at the first report still installs a consistent set.
    void progressAndCancel() {
        QByteArrayList lines = {"# words"};
        QList<std::pair<int, int>> reports;
        for (int i = 0; i < 250; ++i) {
            if (i % 40 == 0)
                lines.append(i == 40 ? "abc" : "# block");
            const QByteArray tag = QByteArray(1, char('a' + i / 26)) + char('a' + i % 26);
            lines.append("wort" + tag + " :: word" + tag);
            if (i == 99 || i == 199)
                reports.append({int(lines.size()) - 1, 0});
        }
        for (auto& report : reports)
            report.second = int(lines.size());
        const QByteArray source = lines.join('\n') + '\n';
        const TRun run = import(FDir->path(), "p", source);
        QVERIFY(run.Status.ok() && !run.Summary.Cancelled);
        QCOMPARE(run.Progress, reports);

        std::atomic<bool> cancel = false;
        TImportRequest request;
        request.Cancel = &cancel;
        request.Progress = [&](int, int) { cancel = true; };
        QVERIFY(import(FDir->path(), "c", source, request).Summary.Cancelled);
        const auto stored = entries(readAll(path("c.tdb")));
        QCOMPARE(stored.size(), 101); // 100 two-sided lines and "abc"
        QCOMPARE(stored.last().second, "wortdv :: worddv");
        TEntryReader reader;
        QVERIFY(reader.Open(path("c.tdb"), "c.tdb").ok());
        for (int side = 0; side < 2; ++side) {
            TWordList list;
            QVERIFY(list.LoadFromFile(path(QString("c") + kExts[side + 1])).ok());
            QCOMPARE(list.Count(), 100);
            for (int i = 0; i < list.Count(); ++i) {
                for (const TTermRef& ref : list.RefsAt(i)) {
                    QVERIFY(std::count_if(stored.begin(), stored.end(),
                                          [&](const auto& e) { return e.first == ref.Offset; }));
                    QString sides[2];
                    QVERIFY(reader.Read(ref.Offset, sides[0], sides[1]).ok());
                    QCOMPARE(sides[side], list.TextAt(i));
                }
            }
        }
    }

    void failedImportsWriteNothing() {
        const TRun missing = import(FDir->path(), "none", QByteArray());
        QCOMPARE(missing.Status.message(), "File " + path("none.src") + " not found");
        QVERIFY(QDir(FDir->path()).isEmpty());
        // An installed set under a name too long for temporary names beside it, in a
        // read-only folder: the import cannot write, with or without administrator rights.
        QVERIFY(import(FDir->path(), "s", "Haus :: house\n").Status.ok());
        const QString base = QString(245, u'b');
        QByteArray before[3];
        for (int f = 0; f < 3; ++f) {
            QVERIFY(QFile::rename(path(QString("s") + kExts[f]), path(base + kExts[f])));
            before[f] = readAll(path(base + kExts[f]));
        }
        QVERIFY(writeAll(path(base + ".src"), "Baum :: tree\n"));
        const QStringList filesBefore = QDir(FDir->path()).entryList(QDir::Files);
        QVERIFY(QFile::setPermissions(FDir->path(), QFile::ReadOwner | QFile::ExeOwner));
        TImportRequest request;
        request.Folder = FDir->path();
        request.BaseName = base;
        request.SourcePath = path(base + ".src");
        TImportSummary summary;
        const TStatus status = Import(request, summary);
        QFile::setPermissions(FDir->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(!status.ok());
        for (int f = 0; f < 3; ++f)
            QCOMPARE(readAll(path(base + kExts[f])), before[f]);
        QCOMPARE(QDir(FDir->path()).entryList(QDir::Files), filesBefore);
    }

    void badLines() {
        const QByteArray tooLong = "lang :: " + QByteArray(40000, 'x');
        const QByteArray longest = "lang :: " + QByteArray(32767 - 8, 'y');
        const TRun run =
            import(FDir->path(), "b",
                   "\nHaus \xFF :: house\n\n\n" + tooLong + "\nBaum :: tree\n" + longest + "\n\n");
        QVERIFY(run.Status.ok());
        QCOMPARE(run.WarnedLines, (QList<int>{2, 5})); // invalid UTF-8; too long, left out
        const auto stored = entries(readAll(path("b.tdb")));
        QCOMPARE(stored.size(), 3);
        QCOMPARE(stored[0].second, "Haus \xEF\xBF\xBD :: house");
        QCOMPARE(stored[1], std::make_pair(quint32(kHeaderSize + 19), "Baum :: tree"_ba));
        QCOMPARE(stored[2].second, longest);
        QCOMPARE(headwords(path("b.tx1")), (QStringList{"Baum:1", "Haus:4", "lang:1"}));
    }

    // Headwords are cut to 255 bytes at a character boundary and stay ascending and unique:
    // a 255-byte one sorts before a longer one with the same first 254 bytes, and long ones
    // that differ only after the cut are one. A headword keeps its 65,535 strongest references.
    void longHeadwordsAndManyReferences() {
        const QString head = QString(127, u'ä'), longer = QString(200, u'ä'), exact = 'x' + head;
        QByteArray source = (longer + " :: long\n" + exact + " :: exact\n").toUtf8();
        source += QByteArray("altes Haus :: old house\n").repeated(10000); // Haus rank 8
        source += QByteArray("Haus :: house\n").repeated(60000);           // Haus rank 1
        source += (head + "a :: a\n" + longer + "x :: b\n" + longer + "y :: c\n").toUtf8();
        QVERIFY(import(FDir->path(), "m", source).Status.ok());
        TWordList tx1;
        QVERIFY(tx1.LoadFromFile(path("m.tx1")).ok());
        QStringList words;
        for (int i = 0; i < tx1.Count(); ++i)
            words << tx1.TextAt(i);
        QCOMPARE(words, (QStringList{head, head + 'a', "altes", "Haus", exact}));
        TTermRefArray expected; // every rank-1 reference, then the earliest rank-8 ones
        const quint32 first = kHeaderSize + 2 + 408 + 2 + 264;
        for (quint32 i = 0; i < 65535; ++i)
            expected.push_back(i < 60000 ? TTermRef{first + 250000 + i * 15, 1}
                                         : TTermRef{first + (i - 60000) * 25, 8});
        QVERIFY(tx1.RefsAt(3) == expected);
    }

    void stopwordLists() {
        // Found flags for the two lists, then every headword with the rank of its entry.
        auto ranks = [&](const QStringList& folders) {
            TImportRequest request;
            request.StopwordFolders = folders;
            const TRun run =
                import(FDir->path(), "s", "Dank für die Hilfe :: thanks for the help", request);
            return QString("%1%2 ")
                       .arg(run.Summary.StopwordsFound[0])
                       .arg(run.Summary.StopwordsFound[1]) +
                   (headwords(path("s.tx1")) + headwords(path("s.tx2"))).join(' ');
        };
        const QString empty = path("empty"), enOnly = path("en");
        QVERIFY(QDir().mkpath(empty) && QDir().mkpath(enOnly));
        QVERIFY(QFile::copy(kShippedStopwords + "/stopwords_EN.txt", enOnly + "/stopwords_EN.txt"));
        QCOMPARE(ranks({empty}), u"00 Dank:4 die:8 für:8 Hilfe:8 for:8 help:8 thanks:4 the:8"_s);
        QCOMPARE(ranks({enOnly}), u"01 Dank:4 die:8 für:8 Hilfe:8 for:0 help:8 thanks:4 the:0"_s);
        // Searched in order; the German list is Windows-1252 ("f\xFCr").
        QCOMPARE(ranks({empty, enOnly, kShippedStopwords}),
                 u"11 Dank:4 die:0 für:0 Hilfe:8 for:0 help:8 thanks:4 the:0"_s);
    }

    void pronunciations() {
        const QString source = path("ipa.txt"), target = path("ipa.hl");
        TPronunciationSummary summary;
        QVERIFY(writeAll(target, "old"));
        QVERIFY(!ImportPronunciations(source, target, summary).ok()); // no source
        QVERIFY(writeAll(source, "kurz=k\nohne Gleichheitszeichen\n"));
        (void)ImportPronunciations(source, target, summary).ok(); // no usable pair
        QCOMPARE(readAll(target), "old");
        const QString lines = u"Zoo=tsoː\nHaus=haʊs\nkurz=k\nohne\nApfel=ˈapfl̩\nx=ʊ\nleer=\n"_s +
                              "lange=" + QString(200, u'ʊ') + "\nHAUS=haus";
        QVERIFY(writeAll(source, lines.toUtf8()));
        QVERIFY(ImportPronunciations(source, target, summary).ok());
        QCOMPARE(summary.Pairs, 5);
        QVERIFY(readAll(target).contains("\x09Haus=haus"));
        QVERIFY(readAll(target).contains("\xFElange=")); // 406 bytes cut to 254, not 255
        THashList list;
        QVERIFY(list.LoadFromFile(target).ok() && list.Loaded());
        QStringList pairs;
        QString key, value;
        for (int i = 0; list.GetPair(i, key, value); ++i)
            pairs.append(key + '=' + value);
        QCOMPARE(pairs, (QStringList{u"Apfel=ˈapfl̩"_s, "Haus=haus", "lange=" + QString(124, u'ʊ'),
                                     u"x=ʊ"_s, u"Zoo=tsoː"_s}));
    }
};

QTEST_GUILESS_MAIN(TestImport)
#include "test_import.moc"
