// SPDX-License-Identifier: GPL-2.0-or-later
// The dictionary object: discovery, opening, index loading and the lookups on top of it.

#include "DBLoader.h"
#include "DictDB.h"
#include "Import.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace quillet;

namespace {

using THeads = std::vector<std::pair<QString, TTermRefArray>>;

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// A file set written byte by byte: header, entries added in order, exact index records.
struct TTestSet {
    QTemporaryDir Dir;
    QByteArray Tdb = BuildHeader(QStringLiteral("Test"), QDate(2007, 1, 1));

    quint32 Add(const QByteArray& text) {
        const quint32 offset = quint32(Tdb.size());
        Tdb.append(char(text.size() & 0xFF)).append(char(text.size() >> 8)).append(text);
        return offset;
    }
    void Save(const QString& base, const THeads& heads1, const THeads& heads2 = {}) {
        writeFile(Dir.filePath(base + ".tdb"), Tdb);
        for (int side = 0; side < 2; ++side) {
            TWordList list;
            for (const auto& [word, refs] : side == 0 ? heads1 : heads2)
                list.AppendWithData(word, refs);
            QVERIFY(list.SaveToFile(Dir.filePath(base + (side ? ".tx2" : ".tx1"))).ok());
        }
    }
};

// Headwords w0000, w0001, ... in both directions; w<k> refers to offset 1000 + k.
void saveNumberedSet(TTestSet& set, int count) {
    THeads heads;
    for (int k = 0; k < count; ++k)
        heads.push_back({QString::asprintf("w%04d", k), {{quint32(1000 + k), 1}}});
    set.Save("n", heads, heads);
}

TImportSummary importSet(const QString& folder, const QString& base, const QByteArray& source,
                         const QString& title = QStringLiteral("Test")) {
    TImportRequest request;
    request.Folder = folder;
    request.BaseName = base;
    request.SourcePath = folder + "/src.txt";
    request.Meta.Name = title;
    writeFile(request.SourcePath, source);
    TImportSummary summary;
    const TStatus status = Import(request, summary);
    if (!status.ok())
        qFatal("import failed: %s", qPrintable(status.message()));
    return summary;
}

const QByteArray kSource = "Apfel :: apple\nHaus :: home\nHausboot :: houseboat\n"
                           "Haustür :: door\nhouse :: hut\nhouseboat :: housework\nZug :: train\n";

void openAndLoad(TDictDB& db, const QString& base) {
    QVERIFY(db.Open(base).ok());
    QVERIFY(db.LoadIndex().ok());
}

// Looks the text up and reads its entries, which must be readable.
TTermPairArray entriesFor(TDictDB& db, QStringView text) {
    QStringList words;
    db.FindWords(text, words);
    TTermPairArray rows;
    const TStatus status = db.GetEntries(rows);
    return status.ok() ? rows : TTermPairArray{{"error", status.message()}};
}

QString currentHeadword(const TDictDB& db) {
    QString text;
    db.WordList(db.Direction()).GetCurrentText(text);
    return text;
}

} // namespace

class TestDictDB : public QObject {
    Q_OBJECT

private slots:
    void discoveryListsCompleteSetsInNameOrder() {
        QTemporaryDir dir;
        importSet(dir.path(), "b", kSource, "Zweites");
        importSet(dir.path(), "a", kSource, "Erstes");
        const std::pair<const char*, const char*> copies[] = {
            {"a.tdb", "de.en.tdb"}, {"a.tx1", "de.tx1"}, {"a.tx2", "de.tx2"},
            {"a.tdb", "lonely.tdb"}, {"a.tx1", "lonely.tx1"}};
        for (const auto& [from, to] : copies)
            QVERIFY(QFile::copy(dir.filePath(from), dir.filePath(to)));
        writeFile(dir.filePath("short.tdb"), QByteArray(kHeaderSize - 1, 'x'));
        writeFile(dir.filePath("short.tx1"), {});
        writeFile(dir.filePath("short.tx2"), {});

        TDictDB db(0, dir.path());
        QStringList found;
        for (const TDictionaryFile& file : db.Dictionaries())
            found << file.BaseName + "=" + file.Title;
        QCOMPARE(found, QStringList({"a=Erstes", "b=Zweites", "de=Erstes"}));
        // The base name stops at the first dot, so the set is opened under de.tdb.
        const TStatus status = db.Open("de");
        QCOMPARE(status.message(), "File " + dir.path() + "/de.tdb not found");
        QCOMPARE(db.DataFile(), QStringLiteral("de.tdb"));
        QCOMPARE(db.Language(1).IndexFile, QStringLiteral("de.tx2"));
        const QString message = db.Open("short").message();
        QVERIFY2(message.contains("damaged") && message.contains(dir.filePath("short.tdb")),
                 qPrintable(message));
    }

    void openReadsHeaderAndMeta() {
        QTemporaryDir dir;
        importSet(dir.path(), "d", kSource, QString(60, u'ä'));
        TDictDB db(1, dir.path());
        QVERIFY(db.Open("d").ok());
        QCOMPARE(db.Title(), QString(50, u'ä'));
        QCOMPARE(db.CurrentLanguage().Name, QStringLiteral("Englisch"));
        QCOMPARE(db.OtherLanguage().Code, QStringLiteral("de"));
        QCOMPARE(db.Meta().Name, QStringLiteral("Dictionary"));

        writeFile(dir.filePath("d.ini"), "[meta]\nname=Kleines Buch\nlanguages= de , en ,, \n");
        TDictDB withMeta(0, dir.path());
        QVERIFY(withMeta.Open("d").ok());
        QCOMPARE(withMeta.Meta().Name, QStringLiteral("Kleines Buch"));
        QCOMPARE(withMeta.Meta().Languages, QStringList({"de", "en"}));
    }

    void indexIsReadOncePerDirection() {
        QTemporaryDir dir;
        const TImportSummary summary = importSet(dir.path(), "d", kSource);
        TDictDB db(0, dir.path());
        QVERIFY(db.Open("d").ok());
        TLoadReport report;
        QVERIFY(RunLoad(db, report).ok());
        QCOMPARE(report.Headwords, summary.Headwords[0]);
        QCOMPARE(qint64(report.References), summary.References[0]);

        db.ToggleDirection();
        QVERIFY(RunLoad(db, report).ok());
        QCOMPARE(report.Headwords, summary.Headwords[1]);
        QVERIFY(QFile::remove(dir.filePath("d.tx1")));
        QVERIFY(QFile::remove(dir.filePath("d.tx2")));
        db.ToggleDirection();
        QVERIFY(RunLoad(db, report).ok()); // nothing left to read: kept from the first run
        QCOMPARE(report.Headwords, summary.Headwords[0]);
        QCOMPARE(report.References, int(summary.References[0]));

        const TLoadReport slow{0, 0, 2500};
        QCOMPARE(slow.Seconds(), 2);
        QCOMPARE(slow.Milliseconds(), 500);
    }

    void pronunciationsAndDamagedIndex() {
        QTemporaryDir dir;
        importSet(dir.path(), "d", kSource);
        QFile index(dir.filePath("d.tx1"));
        QVERIFY(index.resize(index.size() - 2)); // the last record loses part of a reference
        TDictDB db(0, dir.path());
        QVERIFY(db.Open("d").ok());
        QVERIFY(!db.LoadIndex().ok());
        QCOMPARE(db.HeadwordCount(), 0);
        QVERIFY(db.LoadPronunciations().ok()); // no .ipa: nothing to read, nothing to say
        QString ipa;
        QVERIFY(!db.GetPronunciation(u"Haus", ipa));

        writeFile(dir.filePath("ipa.src"), "Haus=haʊs\nZug=tsuːk\n");
        TPronunciationSummary summary;
        QVERIFY(ImportPronunciations(dir.filePath("ipa.src"), dir.filePath("d.ipa"), summary).ok());
        QVERIFY(!db.GetPronunciation(u"Haus", ipa)); // not until it is loaded
        QVERIFY(db.LoadPronunciations().ok());
        QVERIFY(db.GetPronunciation(u"HAUS", ipa));
        QCOMPARE(ipa, QStringLiteral("haʊs"));
        QVERIFY(!db.GetPronunciation(u"Hau", ipa));
    }

    void findWords_data() {
        QTest::addColumn<int>("direction");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("headword");
        QTest::newRow("other case") << 0 << "hAUS" << "Haus";
        QTest::newRow("prefix of several") << 0 << "Hau" << "Haus";
        QTest::newRow("longer prefix") << 0 << "HAUSB" << "Hausboot";
        QTest::newRow("no prefix match") << 0 << "Hb" << "Haustür";
        QTest::newRow("before every headword") << 0 << "Aa" << "Apfel";
        QTest::newRow("empty") << 0 << "" << "Apfel";
        QTest::newRow("only blanks") << 0 << "   " << "Apfel";
        QTest::newRow("last headword") << 0 << "zug" << "Zug";
        QTest::newRow("after every headword") << 0 << "zz" << "Zug";
        QTest::newRow("trailing blank, word present") << 0 << "house " << "house";
        // The blank takes part in the prefix test: houseboat does not begin with "house ".
        QTest::newRow("trailing blank, word absent") << 1 << "house " << "home";
        QTest::newRow("direction 1") << 1 << "HOUSEW" << "housework";
    }
    void findWords() {
        QFETCH(int, direction);
        QFETCH(QString, text);
        QFETCH(QString, headword);
        QTemporaryDir dir;
        importSet(dir.path(), "d", kSource);
        TDictDB db(direction, dir.path());
        openAndLoad(db, "d");
        QStringList words;
        QCOMPARE(words.value(db.FindWords(text, words)), headword);
        TTermPairArray rows;
        QVERIFY(db.GetEntries(rows).ok());
        QCOMPARE(rows.size(), size_t(1)); // the current headword's one entry
        QCOMPARE(direction == 0 ? rows[0].Left : rows[0].Right, headword);
    }

    void severalWords_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lefts");
        QTest::newRow("first word's order") << "alpha beta" << QStringList{"e0", "e1", "e3"};
        QTest::newRow("other first word") << "beta alpha" << QStringList{"e1", "e0", "e3"};
        QTest::newRow("prefixes, extra blanks") << " al  be " << QStringList{"e0", "e1", "e3"};
        QTest::newRow("nothing shared") << "alpha gamma" << QStringList{"kein Treffer"};
    }
    void severalWords() {
        QFETCH(QString, text);
        QFETCH(QStringList, lefts);
        TTestSet set;
        std::vector<quint32> e;
        for (int i = 0; i < 5; ++i)
            e.push_back(set.Add(QByteArray("e") + char('0' + i) + " :: x"));
        set.Save("d", {{"alpha", {{e[2], 1}, {e[0], 3}, {e[1], 5}, {e[3], 0}}},
                       {"beta", {{e[1], 1}, {e[0], 2}, {e[3], 0}}},
                       {"gamma", {{e[4], 4}}}});
        TDictDB db(0, set.Dir.path());
        openAndLoad(db, "d");
        const TTermPairArray rows = entriesFor(db, text);
        QCOMPARE(currentHeadword(db), text.startsWith(u'b') ? "beta" : "alpha");
        QStringList got;
        for (const TTermPair& row : rows) {
            got << row.Left;
            // Shared entries all count as strong, so the stopword-only e3 is not hidden.
            QCOMPARE(int(row.Rank), lefts.size() > 1 ? 1 : 0);
        }
        QCOMPARE(got, lefts);
        if (lefts.size() == 1)
            QCOMPARE(rows[0].Right, QStringLiteral("no match"));
    }

    void wordListWindowFollowsCursor() {
        TTestSet set;
        saveNumberedSet(set, 1000);
        TDictDB db(0, set.Dir.path());
        openAndLoad(db, "n");
        struct TStep { int index, start, end, result; bool rebuilt; };
        for (const TStep& step : {TStep{10, 0, 210, 10, true}, TStep{30, 0, 210, 30, false},
                                  TStep{120, 70, 320, 50, true}}) {
            QStringList words{"untouched"};
            QCOMPARE(db.FindWords(QString::asprintf("w%04d", step.index), words), step.result);
            QCOMPARE(db.WindowStart(), step.start);
            QCOMPARE(db.WindowEnd(), step.end);
            if (step.rebuilt) {
                QCOMPARE(words.size(), step.end - step.start + 1);
                QCOMPARE(words[step.result], QString::asprintf("w%04d", step.index));
            } else {
                QCOMPARE(words, QStringList{"untouched"});
            }
        }

        db.SelectWordAt(5);
        QCOMPARE(currentHeadword(db), QStringLiteral("w0075"));
        QCOMPARE(db.CurrentMatches(), TTermRefArray({{1075, 1}}));
        for (int outside : {-71, 930}) {
            db.SelectWordAt(outside);
            QCOMPARE(currentHeadword(db), QStringLiteral("w0075"));
        }

        db.ToggleDirection();
        QCOMPARE(db.WindowStart(), -1);
        QCOMPARE(db.WindowEnd(), -1);
        db.ToggleDirection();
        QStringList words;
        // 150 would keep the old window 70-320 (result 80); after the reset it is rebuilt.
        QCOMPARE(db.FindWords(u"w0150", words), 50);
        QCOMPARE(db.WindowStart(), 100);
    }

    void shortListWindowEndsAtLastHeadword() {
        TTestSet set;
        saveNumberedSet(set, 100);
        TDictDB db(0, set.Dir.path());
        openAndLoad(db, "n");
        for (int index : {0, 40, 60, 99, 40}) {
            QStringList words{"untouched"};
            QCOMPARE(db.FindWords(QString::asprintf("w%04d", index), words),
                     index > 50 ? 50 : index);
            QCOMPARE(db.WindowEnd(), 99);
            QCOMPARE(words.size(), 100 - db.WindowStart());
        }
    }

    void rankFilterAndRowLimit_data() {
        QTest::addColumn<QList<int>>("ranks");
        QTest::addColumn<int>("shown"); // the first `shown` ranked references, or all rank-0 ones
        QList<int> many;
        for (int i = 0; i < 150; ++i)
            many << 1 + i * 9 / 150;
        QTest::newRow("150 ranked") << many << 101;
        QTest::newRow("stopword-only") << QList<int>{0, 0, 0} << 3;
        QTest::newRow("120 stopword-only") << QList<int>(120, 0) << 101;
        QTest::newRow("ranked and stopword-only") << QList<int>{1, 4, 9, 0, 0} << 3;
    }
    void rankFilterAndRowLimit() {
        QFETCH(QList<int>, ranks);
        QFETCH(int, shown);
        TTestSet set;
        TTermRefArray refs;
        for (int i = 0; i < ranks.size(); ++i)
            refs.push_back({set.Add(QString("L%1 :: R%1").arg(i).toUtf8()), quint8(ranks[i])});
        set.Save("d", {{"wort", refs}});
        TDictDB db(0, set.Dir.path());
        openAndLoad(db, "d");
        const TTermPairArray rows = entriesFor(db, u"wort");
        QCOMPARE(int(rows.size()), shown);
        for (int i = 0; i < shown; ++i) {
            QCOMPARE(rows[size_t(i)].Left, QString("L%1").arg(i));
            QCOMPARE(int(rows[size_t(i)].Rank), ranks[i]);
        }
    }

    void damagedEntry_data() {
        QTest::addColumn<QByteArray>("tail"); // raw bytes after the good entry
        QTest::addColumn<int>("skip");        // the bad reference points this far into the tail
        QTest::newRow("offset past the end") << QByteArray() << 40;
        QTest::newRow("offset on the last byte") << QByteArray("\x05", 1) << 0;
        QTest::newRow("runs past the end") << QByteArray("\x32\x00" "abc", 5) << 0;
        QTest::newRow("no separator") << QByteArray("\x06\x00" "kaputt", 8) << 0;
        QTest::newRow("nothing after separator") << QByteArray("\x09\x00" "links :: ", 11) << 0;
    }
    void damagedEntry() {
        QFETCH(QByteArray, tail);
        QFETCH(int, skip);
        TTestSet set;
        const quint32 good = set.Add("gut :: good");
        const quint32 bad = quint32(set.Tdb.size() + skip);
        set.Tdb.append(tail);
        set.Save("d", {{"gut", {{good, 1}, {bad, 1}}}});
        TDictDB db(0, set.Dir.path());
        openAndLoad(db, "d");
        QStringList words;
        db.FindWords(u"gut", words);
        TTermPairArray rows{{"stale", "stale", 1}}; // the good first entry must not remain either
        const TStatus status = db.GetEntries(rows);
        QVERIFY(!status.ok());
        QVERIFY2(status.message().contains("d.tdb") &&
                     status.message().contains(QString::number(bad)),
                 qPrintable(status.message()));
        QVERIFY(rows.empty());
    }

    void entryFileTrailingBytesMissingOrUnreadable() {
        TTestSet set;
        const quint32 offset = set.Add("Haus :: house");
        set.Tdb.append(" leftover of an older, longer file");
        set.Save("d", {{"Haus", {{offset, 1}}}});
        TDictDB db(0, set.Dir.path());
        openAndLoad(db, "d");
        TTermPairArray rows = entriesFor(db, u"haus");
        QCOMPARE(rows.size(), size_t(1));
        QCOMPARE(rows[0].Left + "|" + rows[0].Right, QStringLiteral("Haus|house"));

        // A folder in the file's place exists but cannot be read as a file, even by root.
        QVERIFY(QFile::remove(set.Dir.filePath("d.tdb")));
        QVERIFY(QDir(set.Dir.path()).mkdir("d.tdb"));
        QVERIFY(!db.GetEntries(rows).ok());
        QVERIFY(rows.empty());

        QVERIFY(QDir(set.Dir.path()).rmdir("d.tdb"));
        QCOMPARE(db.GetEntries(rows).message(), QStringLiteral("File d.tdb not found"));
    }
};

QTEST_GUILESS_MAIN(TestDictDB)
#include "test_dictdb.moc"
