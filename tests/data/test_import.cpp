// SPDX-License-Identifier: GPL-2.0-or-later
// Term extraction and the building of dictionary and pronunciation files.
#include "Ansi.h"
#include "DictFormat.h"
#include "HashList.h"
#include "Import.h"
#include "TermExtract.h"
#include "WordList.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <cstring>
#include <optional>

using namespace quillet;
using namespace Qt::StringLiterals;

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray le32(quint32 v) {
    QByteArray out;
    for (int i = 0; i < 4; ++i)
        out.append(char((v >> (8 * i)) & 0xFF));
    return out;
}

// One index record with its references already in stored order.
QByteArray record(const QString& word, std::initializer_list<TTermRef> refs) {
    const QByteArray text = word.toUtf8();
    QByteArray out;
    out.append(char(text.size())).append(char(refs.size())).append('\0').append(text);
    for (const TTermRef& ref : refs)
        out.append(le32(ref.Offset)).append(char(ref.Rank));
    return out;
}

// The entries of a .tdb, walked from the end of the header: offset and text.
QList<std::pair<quint32, QByteArray>> entries(const QByteArray& tdb) {
    QList<std::pair<quint32, QByteArray>> out;
    qsizetype pos = kHeaderSize;
    while (pos + 2 <= tdb.size()) {
        const int n = uchar(tdb[pos]) | uchar(tdb[pos + 1]) << 8;
        out.append({quint32(pos), tdb.mid(pos + 2, n)});
        pos += 2 + n;
    }
    return out;
}

struct TRun {
    TStatus Status;
    TImportSummary Summary;
    QList<std::pair<int, QString>> Warnings;
    QList<std::pair<int, int>> Progress;
};

// Imports `source` (unless null) as <folder>/<base>.*, by default with the shipped
// stopword lists.
TRun import(const QString& folder, const QString& base, const QByteArray& source,
            const std::atomic<bool>* cancel = nullptr, std::function<void()> onProgress = {},
            QStringList stopwordFolders = {QStringLiteral(QUILLET_SOURCE_DIR "/data")}) {
    TRun run;
    const QString sourcePath = folder + "/" + base + ".src";
    if (!source.isNull())
        writeAll(sourcePath, source);
    TImportRequest request;
    request.Folder = folder;
    request.BaseName = base;
    request.SourcePath = sourcePath;
    request.Meta.Name = "Test";
    request.StopwordFolders = stopwordFolders;
    request.Cancel = cancel;
    request.Progress = [&](int k, int count) {
        run.Progress.append({k, count});
        if (onProgress)
            onProgress();
    };
    request.Warning = [&](int line, const QString& message) { run.Warnings.append({line, message}); };
    run.Status = Import(request, run.Summary);
    QFile::remove(sourcePath);
    return run;
}

} // namespace

class TestImport : public QObject {
    Q_OBJECT

private slots:
    void init() { QVERIFY(FDir.emplace().isValid()); }
    void extractTerms_data();
    void extractTerms();
    void writesExactBytes();
    void lineEndsAndByteOrderMark();
    void progressEveryHundredIndexedLines();
    void cancelInstallsConsistentSet();
    void missingSource();
    void failedImportKeepsInstalledSet();
    void badLines();
    void longHeadwordsAndManyReferences();
    void stopwordLists();
    void pronunciations();

private:
    std::optional<QTemporaryDir> FDir; // a fresh folder for every test
};

void TestImport::extractTerms_data() {
    QTest::addColumn<QString>("side");
    QTest::addColumn<QStringList>("stopwords");
    QTest::addColumn<QString>("expected");
    const QStringList none;
    QTest::newRow("one word") << "gehen" << none << "gehen:1";
    QTest::newRow("to + verb") << "to go" << none << "to:4 go:2";
    QTest::newRow("to + verb {vi}") << "to go {vi}" << none << "to:4 go:2";
    QTest::newRow("to + verb {unclosed") << "to go {vi" << none << "to:4 go:2";
    QTest::newRow("To is not to") << "To go" << none << "To:4 go:8";
    QTest::newRow("to in several items") << "to go; to walk" << none << "to:4 go:8 walk:8";
    QTest::newRow("later alternative") << "Bank | Sitzbank" << none << "Bank:1 Sitzbank:2";
    QTest::newRow("later alternative, items") << "Bank | Sitz; Hocker" << none << "Bank:1 Sitz:3 Hocker:3";
    QTest::newRow("annotation") << "Haus {n}" << none << "Haus:1";
    QTest::newRow("unclosed annotation") << "Hof; Haus {n" << none << "Hof:3 Haus:3";
    QTest::newRow("etw. tun") << "etw. tun" << none << "tun:8";
    QTest::newRow("etw. tun, stopword") << "etw. tun" << QStringList{"tun"} << "tun:0";
    QTest::newRow("(sich) freuen") << "(sich) freuen" << none << "sich:9 freuen:8";
    QTest::newRow("(sich) freuen, stopword") << "(sich) freuen" << QStringList{"SICH"} << "sich:0 freuen:8";
    QTest::newRow("a; b") << "a; b" << none << "a:3";
    QTest::newRow("lowered by a later item") << u"schönes Haus; Haus"_s << none << u"schönes:4 Haus:3"_s;
    QTest::newRow("later alternative, first word") << "Bank | alte Stadt" << none << "Bank:1 alte:5 Stadt:8";
    QTest::newRow("later item, first word") << "x; alte Stadt" << none << "alte:7 Stadt:8";
    QTest::newRow("later item, [ after first word") << "x; alte [ugs.] Stadt" << none << "alte:6 Stadt:8";
    QTest::newRow("deleted characters") << u"\"Haus\"!?, ^$%&+=<>°©®~'"_s << none << "Haus:1";
    QTest::newRow("digits") << "Haus123" << none << "Haus:1";
    QTest::newRow("slash and colon") << u"Tür/Tor:Zaun"_s << none << u"Tür:4 Tor:8 Zaun:8"_s;
    QTest::newRow("skipped words") << u"[ugs.] -los …lich .net usw. Haus- Wort {x"_s << none
                                   << "Wort:8";
    QTest::newRow("single letters") << "I a x A" << none << "I:4 a:8";
    QTest::newRow("case variants") << "schönes haus; Haus; HAUS" << none << u"schönes:4 haus:3"_s;
    QTest::newRow("stopword stays 0") << "etw. die; die" << QStringList{"die"} << "die:0";
    QTest::newRow("stopword, other case") << u"Dank für"_s << QStringList{u"FÜR"_s} << u"Dank:4 für:0"_s;
    QTest::newRow("parentheses") << "(zu) (etw.) (Haus-) (von [ugs.] oben) (hin;her) gehen" << none
                                 << "von:9 oben:9 hin:9 her:9 gehen:8";
    QTest::newRow("parenthesised word met again") << "(Haus) Haus" << none << "Haus:8";
    QTest::newRow("parenthesised word already there") << "Haus (Haus)" << none << "Haus:4";
}

void TestImport::extractTerms() {
    QFETCH(QString, side);
    QFETCH(QStringList, stopwords);
    QFETCH(QString, expected);
    TTermClasses classes;
    TStopwords list;
    for (const QString& word : stopwords)
        list.Add(word, classes);
    QStringList got;
    for (const TTermRec& term : ExtractTerms(side, list, classes))
        got.append(term.Term + ':' + QString::number(term.Rank));
    QCOMPARE(got.join(' '), expected);
}

void TestImport::writesExactBytes() {
    const QString folder = FDir->path();
    const QByteArray source = "# note\nHaus :: house\nabc\nwarten ... :: wait ...\n";
    writeAll(folder + "/d.src", source);
    TImportRequest request;
    request.Folder = folder;
    request.BaseName = "d";
    request.SourcePath = folder + "/d.src";
    request.Meta.Name = u"Wörterbuch"_s + QString(50, u'x'); // 60 characters
    TImportSummary summary;
    const QDate today = QDate::currentDate();
    QVERIFY(Import(request, summary).ok());

    const QByteArray tdb = readAll(folder + "/d.tdb");
    QCOMPARE(tdb.left(51), "\x32W\xF6rterbuch" + QByteArray(40, 'x'));
    QCOMPARE(tdb.mid(51, 6), "\x05UTF-8");
    QCOMPARE(tdb.mid(62, 8), "\x07" "Deutsch");
    QCOMPARE(tdb.mid(113, 3), "\x02" "de");
    QCOMPARE(tdb.mid(116, 9), "\x08" "Englisch");
    QCOMPARE(tdb.mid(167, 3), "\x02" "en");
    QCOMPARE(tdb.mid(172, 4), QByteArray("\x00\x04\x01\x00", 4));
    double day;
    std::memcpy(&day, tdb.constData() + 176, 8);
    QVERIFY(day == DayNumber(today) || day == DayNumber(today.addDays(1)));
    QCOMPARE(BuildHeader("x", QDate(2007, 1, 1)).mid(176), QByteArray("\0\0\0\0\x60\x15\xE3\x40", 8));

    const QByteArray ellipsis = u"warten \u2026 :: wait \u2026"_s.toUtf8();
    QCOMPARE(tdb.mid(kHeaderSize), "\x0D\x00Haus :: house"_ba + "\x03\x00"_ba + "abc" +
                                       char(ellipsis.size()) + '\0' + ellipsis);
    QCOMPARE(summary.Lines, 4);
    QCOMPARE(summary.StoredEntries, 3);
    QCOMPARE(summary.IndexedLines, 2);
    QCOMPARE(readAll(folder + "/d.tx1"), "\x04\x01\x00Haus\xB8\x00\x00\x00\x01"_ba +
                                             record("warten", {{204, 4}}));
    QCOMPARE(readAll(folder + "/d.tx2"), record("house", {{184, 1}}) + record("wait", {{204, 4}}));
}

void TestImport::lineEndsAndByteOrderMark() {
    const QByteArrayList lines = {"# c", "Haus :: house", "abc", "Baum | Strauch :: tree; bush",
                                  "Haus {n} :: building"};
    const QByteArray variants[4] = {lines.join('\n') + '\n', lines.join('\r'),
                                    lines.join("\r\n") + "\r\n", "\xEF\xBB\xBF" + lines.join("\r\n")};
    QByteArray files[4][3];
    for (int v = 0; v < 4; ++v) {
        const QString base = "v" + QString::number(v);
        const TRun run = import(FDir->path(), base, variants[v]);
        QVERIFY(run.Status.ok());
        QVERIFY(run.Warnings.isEmpty());
        const char* exts[3] = {".tdb", ".tx1", ".tx2"};
        for (int f = 0; f < 3; ++f)
            files[v][f] = readAll(FDir->filePath(base + exts[f]));
        QCOMPARE(entries(files[v][0]).size(), 4);
        for (int f = 0; f < 3; ++f)
            QCOMPARE(files[v][f], files[0][f]);
    }
}

namespace {

QString tag(int i) { return QString(QChar(u'a' + i / 26)) + QChar(u'a' + i % 26); }

// 250 two-sided lines, with comments and one stored-only line among them; `at` gets the
// 0-based line indexes of the 100th and 200th two-sided line.
QByteArray progressSource(QList<int>& at, int& lineCount) {
    QByteArrayList lines = {"# words"};
    for (int i = 0; i < 250; ++i) {
        if (i % 40 == 0)
            lines.append("# block");
        if (i == 50)
            lines.append("abc");
        lines.append(("wort" + tag(i) + " :: word" + tag(i)).toUtf8());
        if (i == 99 || i == 199)
            at.append(int(lines.size()) - 1);
    }
    lineCount = int(lines.size());
    return lines.join('\n') + '\n';
}

} // namespace

void TestImport::progressEveryHundredIndexedLines() {
    QList<int> at;
    int lineCount = 0;
    const TRun run = import(FDir->path(), "p", progressSource(at, lineCount));
    QVERIFY(run.Status.ok());
    QCOMPARE(run.Progress, (QList<std::pair<int, int>>{{at[0], lineCount}, {at[1], lineCount}}));
    QCOMPARE(run.Summary.IndexedLines, 250);
    QVERIFY(!run.Summary.Cancelled);
}

void TestImport::cancelInstallsConsistentSet() {
    QList<int> at;
    int lineCount = 0;
    std::atomic<bool> cancel = false;
    const TRun run = import(FDir->path(), "c", progressSource(at, lineCount), &cancel,
                            [&] { cancel = true; });
    QVERIFY(run.Status.ok());
    QVERIFY(run.Summary.Cancelled);
    QCOMPARE(run.Progress.size(), 1);

    const auto stored = entries(readAll(FDir->filePath("c.tdb")));
    QCOMPARE(stored.size(), 101); // 100 two-sided lines and "abc"
    QCOMPARE(stored.last().second, "wortdv :: worddv"); // line 99 of the words
    QSet<quint32> offsets;
    for (const auto& entry : stored)
        offsets.insert(entry.first);
    TEntryReader reader;
    QVERIFY(reader.Open(FDir->filePath("c.tdb"), "c.tdb").ok());
    for (int side = 0; side < 2; ++side) {
        TWordList list;
        QVERIFY(list.LoadFromFile(FDir->filePath(side ? "c.tx2" : "c.tx1")).ok());
        QCOMPARE(list.Count(), 100);
        for (int i = 0; i < list.Count(); ++i) {
            for (const TTermRef& ref : list.RefsAt(i)) {
                QVERIFY(offsets.contains(ref.Offset));
                QString sides[2];
                QVERIFY(reader.Read(ref.Offset, sides[0], sides[1]).ok());
                QCOMPARE(sides[side], list.TextAt(i));
            }
        }
    }
}

void TestImport::missingSource() {
    const QString path = FDir->filePath("none.src");
    const TRun run = import(FDir->path(), "none", QByteArray());
    QCOMPARE(run.Status.message(), "File " + path + " not found");
    QVERIFY(QDir(FDir->path()).entryList(QDir::Files).isEmpty());
}

void TestImport::failedImportKeepsInstalledSet() {
    // A long base name leaves no room for the temporary names beside the files, and the
    // folder is read-only: writing fails with or without administrator rights.
    const QString folder = FDir->filePath("installed");
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(import(folder, "s", "Haus :: house\n").Status.ok());
    const QString base = QString(245, u'b');
    QByteArray before[3];
    const char* exts[3] = {".tdb", ".tx1", ".tx2"};
    for (int f = 0; f < 3; ++f) {
        QVERIFY(QFile::rename(folder + "/s" + exts[f], folder + '/' + base + exts[f]));
        before[f] = readAll(folder + '/' + base + exts[f]);
    }
    const QString sourcePath = FDir->filePath("other.src");
    QVERIFY(writeAll(sourcePath, "Baum :: tree\n"));
    QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    TImportRequest request;
    request.Folder = folder;
    request.BaseName = base;
    request.SourcePath = sourcePath;
    TImportSummary summary;
    const TStatus status = Import(request, summary);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(!status.ok()); qDebug() << status.message();
    for (int f = 0; f < 3; ++f)
        QCOMPARE(readAll(folder + '/' + base + exts[f]), before[f]);
    QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 3);
}

void TestImport::badLines() {
    const QByteArray longLine = "lang :: " + QByteArray(40000, 'x');
    const TRun run = import(FDir->path(), "b",
                            "\nHaus \xFF :: house\n\n\n" + longLine + "\nBaum :: tree\n\n");
    QVERIFY(run.Status.ok());
    QCOMPARE(run.Warnings.size(), 2);
    QCOMPARE(run.Warnings[0].first, 2);
    QCOMPARE(run.Warnings[1].first, 5);
    const auto stored = entries(readAll(FDir->filePath("b.tdb")));
    QCOMPARE(stored.size(), 2);
    QCOMPARE(stored[0].second, "Haus \xEF\xBF\xBD :: house");
    QCOMPARE(stored[1].first, quint32(kHeaderSize + 2 + stored[0].second.size()));
    QCOMPARE(stored[1].second, "Baum :: tree");
    QCOMPARE(run.Summary.IndexedLines, 2);
    TWordList tx2;
    QVERIFY(tx2.LoadFromFile(FDir->filePath("b.tx2")).ok());
    QCOMPARE(tx2.Count(), 2);
    QCOMPARE(tx2.TextAt(0), "house");
    QCOMPARE(tx2.TextAt(1), "tree");
}

void TestImport::longHeadwordsAndManyReferences() {
    const QString umlauts = QString(200, u'\u00E4');  // 400 bytes
    const QString exact = 'x' + QString(127, u'\u00E4'); // 255 bytes
    QByteArray source = (umlauts + " :: long\n" + exact + " :: exact\n").toUtf8();
    for (int i = 0; i < 10000; ++i)
        source += "altes Haus :: old house\n"; // Haus rank 8
    for (int i = 0; i < 60000; ++i)
        source += "Haus :: house\n"; // Haus rank 1
    const TRun run = import(FDir->path(), "m", source);
    QVERIFY(run.Status.ok());

    TWordList tx1;
    QVERIFY(tx1.LoadFromFile(FDir->filePath("m.tx1")).ok());
    QStringList words;
    for (int i = 0; i < tx1.Count(); ++i)
        words.append(tx1.TextAt(i));
    // The 400-byte headword is cut to 254 bytes, not inside a character.
    QCOMPARE(words, (QStringList{QString(127, u'\u00E4'), "altes", "Haus", exact}));
    const TTermRefArray refs = tx1.RefsAt(2);
    QCOMPARE(refs.size(), size_t(65535));
    // The strongest first: every rank-1 reference, then the earliest rank-8 ones.
    const quint32 first = kHeaderSize + 2 + 400 + 8 + 2 + 255 + 9;
    for (size_t i = 0; i < refs.size(); ++i) {
        const TTermRef expected = i < 60000 ? TTermRef{first + 250000 + quint32(i) * 15, 1}
                                            : TTermRef{first + quint32(i - 60000) * 25, 8};
        if (refs[i] != expected)
            QFAIL(qPrintable(QString("reference %1: offset %2 rank %3").arg(i).arg(refs[i].Offset).arg(refs[i].Rank)));
    }
}

void TestImport::stopwordLists() {
    // The flags found for the two lists, then every headword with its rank.
    auto ranks = [&](const QStringList& folders) {
        const TRun run = import(FDir->path(), "s", u"Dank für die Hilfe :: thanks for the help"_s.toUtf8(),
                                nullptr, {}, folders);
        QString out = QString("%1%2").arg(run.Summary.StopwordsFound[0]).arg(run.Summary.StopwordsFound[1]);
        for (const char* ext : {".tx1", ".tx2"}) {
            TWordList list;
            if (!list.LoadFromFile(FDir->filePath(QString("s") + ext)).ok())
                return QString("no index");
            for (int i = 0; i < list.Count(); ++i)
                out += ' ' + list.TextAt(i) + ':' + QString::number(list.RefsAt(i)[0].Rank);
        }
        return out;
    };
    const QString empty = FDir->filePath("empty"), enOnly = FDir->filePath("en");
    QVERIFY(QDir().mkpath(empty) && QDir().mkpath(enOnly));
    QVERIFY(QFile::copy(QUILLET_SOURCE_DIR "/data/stopwords_EN.txt", enOnly + "/stopwords_EN.txt"));
    QCOMPARE(ranks({empty}), u"00 Dank:4 die:8 für:8 Hilfe:8 for:8 help:8 thanks:4 the:8"_s);
    QCOMPARE(ranks({enOnly}), u"01 Dank:4 die:8 für:8 Hilfe:8 for:0 help:8 thanks:4 the:0"_s);
    // Folders are searched in order; the German list is Windows-1252 ("für").
    QCOMPARE(ranks({empty, enOnly, QUILLET_SOURCE_DIR "/data"}),
             u"11 Dank:4 die:0 für:0 Hilfe:8 for:0 help:8 thanks:4 the:0"_s);
}

void TestImport::pronunciations() {
    const QString source = FDir->filePath("ipa.txt"), target = FDir->filePath("ipa.hl");
    QVERIFY(writeAll(target, "old"));
    TPronunciationSummary summary;
    // A missing source, or one without a usable pair, leaves the old file.
    QVERIFY(!ImportPronunciations(source, target, summary).ok());
    QVERIFY(writeAll(source, "kurz=k\nohne Gleichheitszeichen\n"));
    (void)ImportPronunciations(source, target, summary).ok();
    QCOMPARE(readAll(target), "old");

    QVERIFY(writeAll(source, u"Zoo=tsoː\r\nHaus=haʊs\r\nkurz=k\r\nohne\r\nApfel=ˈapfl̩\r\n"
                             "x=ʊ\r\nleer=\r\nHAUS=haus\r\n"_s.toUtf8()));
    QVERIFY(ImportPronunciations(source, target, summary).ok());
    QCOMPARE(summary.Lines, 8);
    QCOMPARE(summary.Pairs, 4);
    QVERIFY(readAll(target).contains("\x09Haus=haus"));
    THashList list;
    QVERIFY(list.LoadFromFile(target).ok());
    QVERIFY(list.Loaded());
    QStringList pairs;
    QString key, value;
    for (int i = 0; list.GetPair(i, key, value); ++i)
        pairs.append(key + '=' + value);
    QCOMPARE(pairs, (QStringList{u"Apfel=ˈapfl̩"_s, "Haus=haus", u"x=ʊ"_s, u"Zoo=tsoː"_s}));
}

QTEST_GUILESS_MAIN(TestImport)
#include "test_import.moc"
