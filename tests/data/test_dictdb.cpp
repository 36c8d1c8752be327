// SPDX-License-Identifier: GPL-2.0-or-later
// The dictionary object: discovery, opening, index loading and the lookups on top of it.
#include "DBLoader.h"
#include "DictDB.h"
#include "Import.h"
#include "TestFiles.h"

#include <optional>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace quillet;

namespace {

using THeads = std::vector<std::pair<QString, TTermRefArray>>;

// A file set written byte by byte: header, entries added in order, exact index records.
struct TTestSet {
    QTemporaryDir Dir;
    QByteArray Tdb;
    std::optional<TDictDB> Db;
    explicit TTestSet(const QString& title = "Test") : Tdb(BuildHeader(title, QDate(2007, 1, 1))) {}

    quint32 Add(const QByteArray& text) {
        const quint32 offset = quint32(Tdb.size());
        Tdb.append(char(text.size() & 0xFF)).append(char(text.size() >> 8)).append(text);
        return offset;
    }
    void Save(const QString& base, const THeads& heads1, const THeads& heads2 = {}) {
        QVERIFY(writeAll(Dir.filePath(base + ".tdb"), Tdb));
        for (int side = 0; side < 2; ++side) {
            TWordList list;
            for (const auto& [word, refs] : side == 0 ? heads1 : heads2)
                list.AppendWithData(word, refs);
            QVERIFY(list.SaveToFile(Dir.filePath(base + (side ? ".tx2" : ".tx1"))).ok());
        }
    }
    // Each word (in ascending order) with one entry "word :: word".
    THeads Words(const QStringList& words) {
        THeads heads;
        for (const QString& word : words)
            heads.push_back({word, {{Add((word + " :: " + word).toUtf8()), 1}}});
        return heads;
    }
    // The set "d", opened with its index loaded (or failing the test).
    TDictDB& Load(int direction = 0, bool inPlace = false) {
        TDictDB& db = Db.emplace(direction, Dir.path());
        db.SetReadIndexInPlace(inPlace);
        if (!db.Open("d").ok() || !db.LoadIndex().ok())
            QTest::qFail("the test set does not load", __FILE__, __LINE__);
        return db;
    }
    // Headwords w0000, w0001, ... in both directions; w<k> refers to offset 1000 + k.
    void SaveNumbered(int count) {
        THeads heads;
        for (int k = 0; k < count; ++k)
            heads.push_back({QString::asprintf("w%04d", k), {{quint32(1000 + k), 1}}});
        Save("d", heads, heads);
    }
};

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
        TTestSet set(QStringLiteral("Zweites"));
        set.Save("b", {});
        set.Tdb = BuildHeader(QStringLiteral("Erstes"), QDate(2007, 1, 1));
        set.Save("a", {});
        const std::pair<const char*, const char*> copies[] = {{"a.tdb", "de.en.tdb"},
                                                              {"a.tx1", "de.tx1"},
                                                              {"a.tx2", "de.tx2"},
                                                              {"a.tdb", "lonely.tdb"},
                                                              {"a.tx1", "lonely.tx1"}};
        const QDir dir(set.Dir.path());
        for (const auto& [from, to] : copies)
            QVERIFY(QFile::copy(dir.filePath(from), dir.filePath(to)));
        for (const char* name : {"short.tdb", "short.tx1", "short.tx2"})
            QVERIFY(writeAll(dir.filePath(name), QByteArray(kHeaderSize - 1, 'x')));

        TDictDB db(0, dir.path());
        QStringList found;
        for (const TDictionaryFile& file : db.Dictionaries())
            found << file.BaseName + "=" + file.Title;
        QCOMPARE(found, QStringList({"a=Erstes", "b=Zweites", "de=Erstes"}));
        // The base name stops at the first dot, so the set is opened under de.tdb.
        QCOMPARE(db.Open("de").message(), "File " + dir.path() + "/de.tdb not found");
        QCOMPARE(db.DataFile(), QStringLiteral("de.tdb"));
        QCOMPARE(db.Language(1).IndexFile, QStringLiteral("de.tx2"));
        const QString message = db.Open("short").message();
        QVERIFY2(message.contains("damaged") && message.contains(dir.filePath("short.tdb")),
                 qPrintable(message));
    }

    void openReadsHeaderAndMeta() {
        TTestSet set(QString(60, u'ä'));
        set.Save("d", {});
        TDictDB db(1, set.Dir.path());
        QVERIFY(db.Open("d").ok());
        QCOMPARE(db.Title(), QString(50, u'ä'));
        QCOMPARE(db.CurrentLanguage().Name, QStringLiteral("Englisch"));
        QCOMPARE(db.OtherLanguage().Code, QStringLiteral("de"));
        QCOMPARE(db.Meta().Name, QStringLiteral("Dictionary")); // no .ini
        QVERIFY(writeAll(set.Dir.filePath("d.ini"),
                         "[meta]\nname=Kleines Buch\nlanguages= de , en ,, \n"));
        QVERIFY(db.Open("d").ok());
        QCOMPARE(db.Meta().Name, QStringLiteral("Kleines Buch"));
        QCOMPARE(db.Meta().Languages, QStringList({"de", "en"}));
    }

    void indexIsReadOncePerDirection() {
        TTestSet set;
        set.Save("d", {{"a", {{184, 1}, {200, 2}}}, {"b", {{184, 1}}}}, {{"c", {{184, 1}}}});
        TDictDB db(0, set.Dir.path());
        QVERIFY(db.Open("d").ok());
        TLoadReport report;
        QVERIFY(RunLoad(db, report).ok());
        QCOMPARE(QPair(report.Headwords, report.References), QPair(2, 3));
        db.ToggleDirection();
        QVERIFY(RunLoad(db, report).ok());
        QCOMPARE(QPair(report.Headwords, report.References), QPair(1, 1));
        QVERIFY(QFile::remove(set.Dir.filePath("d.tx1")));
        QVERIFY(QFile::remove(set.Dir.filePath("d.tx2")));
        db.ToggleDirection();
        QVERIFY(RunLoad(db, report).ok()); // nothing left to read: kept from the first run
        QCOMPARE(QPair(report.Headwords, report.References), QPair(2, 3));
    }

    // The record table is taken only when it is undamaged and of this very set; one whose
    // positions do not fit the index is noticed at the first misfit, and the lookup is
    // answered from the index read without it. Every answer is the walked index's.
    void recordTableIsCheckedAndPassedOver() {
        TTestSet set;
        QStringList words;
        for (int k = 0; k < 400; ++k)
            words.append(QString::asprintf("w%04d", k));
        set.Save("d", set.Words(words));
        const QStringList queries = {"w0", "w0123", "w02", "w0399", "x", "a", "w0123 w0124"};
        auto answers = [&](TDictDB& db) {
            QStringList all;
            for (const QString& query : queries) {
                QStringList window;
                const int position = db.FindWords(query, window);
                TTermPairArray rows;
                const TStatus status = db.GetEntries(rows);
                all << QString::number(position) << window << currentHeadword(db) << status.message();
                for (const TTermPair& row : rows)
                    all << row.Left << row.Right;
            }
            return all;
        };
        const QStringList expected = answers(set.Load());
        QVERIFY(!set.Db->WordList(0).UsesRecordTable());

        QByteArray table;
        QVERIFY(TWordList::MakeRecordTable(readAll(set.Dir.filePath("d.tx1")), set.Tdb, table).ok());
        const QString tablePath = set.Dir.filePath("d.tr1");
        auto loadWith = [&](const QByteArray& bytes) -> TDictDB& {
            writeAll(tablePath, bytes);
            return set.Load(0, true);
        };
        QVERIFY(loadWith(table).WordList(0).UsesRecordTable());
        QCOMPARE(answers(*set.Db), expected);
        QCOMPARE(set.Db->ReferenceCount(), 400);
        QVERIFY(!set.Load().WordList(0).UsesRecordTable()); // walked for many lookups

        QByteArray damaged = table;
        damaged[52] = char(damaged[52] ^ 1); // a byte only the checksum covers
        QVERIFY(!loadWith(damaged).WordList(0).UsesRecordTable());
        QCOMPARE(answers(*set.Db), expected);

        QByteArray stale;
        THeads fewer = set.Words(words.mid(1)); // another index of the same entry file
        TWordList other;
        for (const auto& [word, refs] : fewer)
            other.AppendWithData(word, refs);
        QByteArray otherIndex;
        for (int i = 0; i < other.Count(); ++i)
            TWordList::WriteRecord(otherIndex, other.TextAt(i), other.RefsAt(i));
        QVERIFY(TWordList::MakeRecordTable(otherIndex, set.Tdb, stale).ok());
        QVERIFY(!loadWith(stale).WordList(0).UsesRecordTable());
        QCOMPARE(answers(*set.Db), expected);

        // The positions are not checksummed: one moved is found where it is read.
        QByteArray moved = table;
        const qsizetype at = moved.size() - 4 * 200; // the record of w0201
        moved[at] = char(moved[at] + 1);
        QVERIFY(loadWith(moved).WordList(0).UsesRecordTable());
        QCOMPARE(answers(*set.Db), expected);
        QVERIFY(!set.Db->WordList(0).UsesRecordTable());
        QCOMPARE(set.Db->ReferenceCount(), 400);
    }

    void pronunciationsAndDamagedIndex() {
        TTestSet set;
        set.Save("d", set.Words({"Haus", "Zug"}));
        QFile index(set.Dir.filePath("d.tx1"));
        QVERIFY(index.resize(index.size() - 2)); // the last record loses part of a reference
        TDictDB db(0, set.Dir.path());
        QVERIFY(db.Open("d").ok());
        QVERIFY(!db.LoadIndex().ok());
        QCOMPARE(db.HeadwordCount(), 0);
        QVERIFY(db.LoadPronunciations().ok()); // no .ipa: nothing to read, nothing to say
        QString ipa;
        QVERIFY(!db.GetPronunciation(u"Haus", ipa));

        QVERIFY(writeAll(set.Dir.filePath("ipa.src"), "Haus=haʊs\nZug=tsuːk\n"));
        TPronunciationSummary summary;
        QVERIFY(
            ImportPronunciations(set.Dir.filePath("ipa.src"), set.Dir.filePath("d.ipa"), summary)
                .ok());
        QVERIFY(!db.GetPronunciation(u"Haus", ipa)); // not until it is loaded
        QVERIFY(db.LoadPronunciations().ok());
        QVERIFY(db.GetPronunciation(u"HAUS", ipa));
        QCOMPARE(ipa, QStringLiteral("haʊs"));
        QVERIFY(!db.GetPronunciation(u"Hau", ipa));
    }

    // What the engine adds to Locate: blanks and the direction.
    void findWords_data() {
        QTest::addColumn<int>("direction");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("headword");
        QTest::newRow("only blanks") << 0 << "   "
                                     << "Apfel";
        QTest::newRow("trailing blank, word present") << 0 << "house "
                                                      << "house";
        // The blank takes part in the prefix test: houseboat does not begin with "house ".
        QTest::newRow("trailing blank, word absent") << 1 << "house "
                                                     << "home";
        QTest::newRow("direction 1") << 1 << "HOUSEB"
                                     << "houseboat";
    }
    void findWords() {
        QFETCH(int, direction);
        QFETCH(QString, text);
        QFETCH(QString, headword);
        TTestSet set;
        set.Save("d", set.Words({"Apfel", "Haus", "house", "houseboat"}),
                 set.Words({"home", "houseboat"}));
        TDictDB& db = set.Load(direction);
        const TTermPairArray rows = entriesFor(db, text);
        QCOMPARE(currentHeadword(db), headword);
        QCOMPARE(rows.size(), size_t(1)); // the current headword's one entry
        QCOMPARE(rows[0].Left, headword);
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
        TDictDB& db = set.Load();
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
        set.SaveNumbered(1000);
        TDictDB& db = set.Load();
        struct TStep {
            int index, start, end, result;
            bool rebuilt;
        };
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
        set.SaveNumbered(100);
        TDictDB& db = set.Load();
        for (int index : {0, 40, 60, 99, 40}) {
            QStringList words{"untouched"};
            QCOMPARE(db.FindWords(QString::asprintf("w%04d", index), words), qMin(index, 50));
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
        TDictDB& db = set.Load();
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
        QTest::newRow("runs past the end") << QByteArray("\x32\x00"
                                                         "abc",
                                                         5)
                                           << 0;
        QTest::newRow("no separator") << QByteArray("\x06\x00"
                                                    "kaputt",
                                                    8)
                                      << 0;
        QTest::newRow("nothing after separator") << QByteArray("\x09\x00"
                                                               "links :: ",
                                                               11)
                                                 << 0;
    }
    void damagedEntry() {
        QFETCH(QByteArray, tail);
        QFETCH(int, skip);
        TTestSet set;
        const quint32 good = set.Add("gut :: good");
        const quint32 bad = quint32(set.Tdb.size() + skip);
        set.Tdb.append(tail);
        set.Save("d", {{"gut", {{good, 1}, {bad, 1}}}});
        TDictDB& db = set.Load();
        QStringList words;
        db.FindWords(u"gut", words);
        TTermPairArray rows{{"stale", "stale", 1}}; // the good first entry must not remain either
        const TStatus status = db.GetEntries(rows);
        QVERIFY2(!status.ok() && status.message().contains("d.tdb") &&
                     status.message().contains(QString::number(bad)),
                 qPrintable(status.message()));
        QVERIFY(rows.empty());
    }

    void entryFileTrailingBytesAndReplacement() {
        TTestSet set;
        const quint32 offset = set.Add("Haus :: house");
        set.Tdb.append(" leftover of an older, longer file");
        set.Save("d", {{"Haus", {{offset, 1}}}});
        TDictDB& db = set.Load();
        TTermPairArray rows = entriesFor(db, u"haus");
        QCOMPARE(rows.size(), size_t(1));
        QCOMPARE(rows[0].Left + "|" + rows[0].Right, QStringLiteral("Haus|house"));
        // The loaded index points into the file that was open when it loaded: a file put
        // under its name afterwards (here a folder) changes nothing for this object.
        QVERIFY(QFile::remove(set.Dir.filePath("d.tdb")) && QDir(set.Dir.path()).mkdir("d.tdb"));
        QVERIFY(db.GetEntries(rows).ok());
        QCOMPARE(rows[0].Left + "|" + rows[0].Right, QStringLiteral("Haus|house"));
        TDictDB other(0, set.Dir.path());
        QCOMPARE(other.Open("d").message(), QStringLiteral("File d.tdb is not a regular file"));
    }
};

QTEST_GUILESS_MAIN(TestDictDB)
#include "test_dictdb.moc"
