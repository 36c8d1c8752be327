// SPDX-License-Identifier: GPL-2.0-or-later
// The sorted lists at their edges: case-insensitive finds, cursor rules on misses and
// out-of-range indexes, the key/value list's replace-on-insert, and the exact bytes of
// index and pronunciation files, including damaged and missing ones.
#include "HashList.h"
#include "WordList.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace quillet;

namespace {

void fill(TLinkedList& list, const QStringList& texts) {
    for (const QString& text : texts)
        list.AddSorted(text);
}

QString current(const TLinkedList& list) {
    QString text;
    return list.GetCurrentText(text) ? text : QStringLiteral("<no cursor>");
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

const QStringList kFour = {QStringLiteral("Zoo"), QStringLiteral("Bau"), QStringLiteral("Haus"),
                           QStringLiteral("Hafen")};

} // namespace

class TestLists : public QObject {
    Q_OBJECT

private slots:
    void caseInsensitiveFindAndInsert() {
        TLinkedList list;
        fill(list, kFour);
        QCOMPARE(list.Count(), 4);
        list.First();
        QCOMPARE(list.IndexOf(u"haus"), 2);
        QCOMPARE(current(list), QStringLiteral("Haus"));
        list.Last();
        list.AddSorted(u"HAUS");
        QCOMPARE(list.Count(), 4);
        QCOMPARE(list.CurrentIndex(), 2);
        QCOMPARE(current(list), QStringLiteral("Haus"));
    }

    // A miss leaves the cursor where a walk from it stops: on the first item past the
    // text, or on the first item when the walk runs off either end.
    void indexOfMissMovesCursor_data() {
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("cursor");
        QTest::newRow("hit forward") << 0 << QString("ZOO") << 3 << 3;
        QTest::newRow("hit backward") << 3 << QString("bau") << 0 << 0;
        QTest::newRow("forward stops above") << 0 << QString("Hb") << -1 << 3;
        QTest::newRow("backward stops below") << 3 << QString("Hb") << -1 << 2;
        QTest::newRow("backward runs off") << 3 << QString("Aal") << -1 << 0;
        QTest::newRow("forward runs off") << 1 << QString("Zz") << -1 << 0;
        QTest::newRow("between, from below") << 0 << QString("Hag") << -1 << 2;
        QTest::newRow("between, from above") << 2 << QString("Hag") << -1 << 1;
    }
    void indexOfMissMovesCursor() {
        QFETCH(int, start);
        QFETCH(QString, text);
        TLinkedList list;
        fill(list, kFour);
        QVERIFY(list.GoTo(start));
        QTEST(list.IndexOf(text), "result");
        QTEST(list.CurrentIndex(), "cursor");
    }

    void indexOfWithoutCursor() {
        TLinkedList list;
        QCOMPARE(list.IndexOf(u"Haus"), -1);
        QCOMPARE(list.CurrentIndex(), -1);
    }

    void locate_data() {
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("first of two with prefix") << 0 << QString("ha") << QString("Hafen");
        QTest::newRow("greatest below") << 0 << QString("hz") << QString("Haus");
        QTest::newRow("nothing below") << 0 << QString("aa") << QString("Bau");
        QTest::newRow("only the last begins with it") << 0 << QString("zo") << QString("Zoo");
        QTest::newRow("beyond every item") << 0 << QString("zz") << QString("Zoo");
        QTest::newRow("whole word, other case") << 3 << QString("HAUS") << QString("Haus");
        QTest::newRow("longer than an item") << 0 << QString("hafenx") << QString("Hafen");
        QTest::newRow("empty text") << 2 << QString("") << QString("Bau");
        QTest::newRow("umlaut is not the letter") << 0 << QString("hä") << QString("Bau");
    }
    void locate() {
        QFETCH(int, start);
        QFETCH(QString, text);
        TLinkedList list;
        fill(list, kFour);
        QVERIFY(list.GoTo(start));
        list.Locate(text);
        QTEST(current(list), "expected");
    }

    void cursorRulesAtTheEdges() {
        TLinkedList list;
        QString text;
        QVERIFY(!list.First());
        QVERIFY(!list.GoTo(0));
        QVERIFY(!list.GetText(0, text));
        QCOMPARE(list.CurrentIndex(), -1);
        list.Locate(u"a");
        QCOMPARE(list.CurrentIndex(), -1);

        fill(list, kFour);
        QVERIFY(list.GoTo(2));
        QVERIFY(!list.GetText(list.Count(), text));
        QCOMPARE(list.CurrentIndex(), 0);
        QVERIFY(list.GoTo(3));
        QVERIFY(!list.GoTo(-1));
        QCOMPARE(list.CurrentIndex(), 3);
        QVERIFY(!list.Next());
        QVERIFY(list.GetText(1, text));
        QCOMPARE(text, QStringLiteral("Hafen"));

        list.InsertAt(u"Aal", 0);
        QCOMPARE(list.CurrentIndex(), 0);
        list.InsertAt(u"Zz", 99);
        QCOMPARE(list.CurrentIndex(), 5);
        QCOMPARE(list.TextAt(5), QStringLiteral("Zz"));
        list.Clear();
        QCOMPARE(list.Count(), 0);
        QCOMPARE(list.CurrentIndex(), -1);
    }

    void hashListKeepsStoredKey() {
        THashList list;
        list.AddSorted(u"Haus", u"haʊs");
        list.AddSorted(u"Baum", u"baʊm");
        list.AddSorted(u"HAUS", u"neu");
        QCOMPARE(list.Count(), 2);
        QString key = QStringLiteral("haus"), value;
        QVERIFY(list.Find(key, value));
        QCOMPARE(key, QStringLiteral("Haus"));
        QCOMPARE(value, QStringLiteral("neu"));
        key = QStringLiteral("Hau");
        QVERIFY(!list.Find(key, value));
    }

    void hashListSaveEmptyKeepsFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath("ipa.hl");
        writeFile(path, "old bytes");
        THashList list;
        QVERIFY(list.SaveToFile(path).ok());
        QCOMPARE(readFile(path), QByteArray("old bytes"));
    }

    void hashListBytes() {
        QTemporaryDir dir;
        const QString path = dir.filePath("de.ipa");
        THashList list;
        list.AddSorted(u"Haus", u"haʊs");
        QVERIFY(list.SaveToFile(path).ok());
        QCOMPARE(readFile(path), QByteArray::fromHex("0A486175733D6861CA8A73"));

        // key=a=b keeps "a"; a record without "=" or with an empty value is no pair.
        writeFile(path, QByteArray("\x07key=a=b\x05nokey\x04"
                                   "emp=\x05Zoo=z"));
        QVERIFY(list.LoadFromFile(path).ok());
        QVERIFY(list.Loaded());
        QCOMPARE(list.Count(), 2);
        QString key, value;
        QVERIFY(list.GetPair(0, key, value));
        QCOMPARE(key + '|' + value, QStringLiteral("key|a"));
        QVERIFY(list.GetPair(1, key, value));
        QCOMPARE(key + '|' + value, QStringLiteral("Zoo|z"));
    }

    void wordListRecordBytes() {
        QTemporaryDir dir;
        const QString path = dir.filePath("x.tx1");
        TWordList list;
        list.AddSortedWithData(u"Haus", {{184, 1}, {530, 4}});
        QVERIFY(list.SaveToFile(path).ok());
        QCOMPARE(
            readFile(path).toHex(' '),
            QByteArray::fromHex("04 02 00 48 61 75 73 B8 00 00 00 01 12 02 00 00 04").toHex(' '));

        list.Clear();
        list.AddSortedWithData(u"a", {{10, 4}, {20, 1}, {30, 0}, {40, 1}});
        QVERIFY(list.SaveToFile(path).ok());
        QCOMPARE(readFile(path).toHex(' '),
                 QByteArray::fromHex("010400 61 14000000 01 28000000 01 0A000000 04 1E000000 00")
                     .toHex(' '));

        list.Clear();
        QVERIFY(list.SaveToFile(path).ok());
        QVERIFY(QFile::exists(path));
        QCOMPARE(readFile(path).size(), 0);
    }

    // Headwords are cut to 255 bytes, never inside a character.
    void headwordCut_data() {
        QTest::addColumn<QString>("headword");
        QTest::addColumn<QString>("stored");
        const QString a254(254, 'a');
        QTest::newRow("255 ASCII whole") << a254 + 'b' << a254 + 'b';
        QTest::newRow("254 ASCII + ä cut before ä") << a254 + u'ä' << a254;
        QTest::newRow("253 ASCII + ä whole") << a254.left(253) + u'ä' << a254.left(253) + u'ä';
        QTest::newRow("300 ASCII") << QString(300, 'x') << QString(255, 'x');
        QTest::newRow("253 ASCII + € cut") << QString(253, 'e') + u'€' << QString(253, 'e');
    }
    void headwordCut() {
        QFETCH(QString, headword);
        QFETCH(QString, stored);
        QTemporaryDir dir;
        const QString path = dir.filePath("x.tx1");
        TWordList list;
        list.AppendWithData(headword, {{184, 1}});
        QVERIFY(list.SaveToFile(path).ok());
        QCOMPARE(uchar(readFile(path).at(0)), uchar(stored.toUtf8().size()));
        QVERIFY(list.LoadFromFile(path).ok());
        QCOMPARE(list.Count(), 1);
        QCOMPARE(list.TextAt(0), stored);
        QCOMPARE(list.RefsAt(0), (TTermRefArray{{184, 1}}));
    }

    void loadRoundTripAndTotal() {
        QTemporaryDir dir;
        const QString path = dir.filePath("x.tx2");
        TWordList list;
        list.AddSortedWithData(u"Zoo", {{300, 1}});
        list.AddSortedWithData(u"Bau", {{184, 2}, {200, 0}});
        QVERIFY(list.SaveToFile(path).ok());
        TWordList loaded;
        QVERIFY(loaded.LoadFromFile(path).ok());
        QVERIFY(loaded.LoadFromFile(path).ok());
        QCOMPARE(loaded.Count(), 2);
        QCOMPARE(loaded.Total(), 6);
        QCOMPARE(loaded.CurrentIndex(), 1);
        QString text;
        TTermRefArray refs;
        QVERIFY(loaded.GetItem(0, text, refs));
        QCOMPARE(text, QStringLiteral("Bau"));
        QCOMPARE(refs, (TTermRefArray{{184, 2}, {200, 0}}));
    }

    void loadMissingFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath("none.tx1");
        TWordList words;
        words.Append(u"stale");
        const TStatus w = words.LoadFromFile(path);
        QCOMPARE(w.message(), "File " + path + " not found");
        QCOMPARE(words.Count(), 0);
        THashList pairs;
        const TStatus p = pairs.LoadFromFile(path);
        QCOMPARE(p.message(), "File " + path + " not found");
        QVERIFY(!pairs.Loaded());
    }

    // A file that ends inside a record is refused as a whole.
    void loadTruncated_data() {
        QTest::addColumn<int>("keep");
        QTest::newRow("inside the first record") << 5;
        QTest::newRow("one byte of the second") << 12;
        QTest::newRow("inside the count") << 13;
        QTest::newRow("inside the headword") << 16;
        QTest::newRow("inside the references") << 22;
        QTest::newRow("one byte short") << 27;
    }
    void loadTruncated() {
        QFETCH(int, keep);
        QTemporaryDir dir;
        const QString path = dir.filePath("x.tx1");
        TWordList list;
        list.AddSortedWithData(u"Bau", {{184, 1}});
        list.AddSortedWithData(u"Haus", {{184, 1}, {530, 4}});
        QVERIFY(list.SaveToFile(path).ok());
        QByteArray bytes = readFile(path);
        QCOMPARE(bytes.size(), 28);
        writeFile(path, bytes.left(keep));
        const TStatus s = list.LoadFromFile(path);
        QVERIFY(!s.ok());
        QVERIFY2(s.message().contains(path), qPrintable(s.message()));
        QCOMPARE(list.Count(), 0);
        QCOMPARE(list.CurrentIndex(), -1);

        THashList pairs;
        writeFile(path, QByteArray("\x05"
                                   "a=bcd\x05"
                                   "b=c"));
        QVERIFY(!pairs.LoadFromFile(path).ok());
        QVERIFY(!pairs.Loaded());
        QCOMPARE(pairs.Count(), 0);
    }
};

QTEST_GUILESS_MAIN(TestLists)
#include "test_lists.moc"
