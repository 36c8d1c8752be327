// SPDX-License-Identifier: GPL-2.0-or-later
// The sorted lists at their edges (test_differential compares ordinary cursor moves with
// the literal list) and the exact bytes of index and pronunciation files, including
// damaged and missing ones.
#include "HashList.h"
#include "TestFiles.h"
#include "WordList.h"

#include <QTemporaryDir>
#include <QTest>

using namespace quillet;

namespace {

void fillFour(TLinkedList& list) { // Bau, Hafen, Haus, Zoo
    for (const char16_t* text : {u"Zoo", u"Bau", u"Haus", u"Hafen"})
        list.AddSorted(text);
}

QString current(const TLinkedList& list) {
    QString text;
    return list.GetCurrentText(text) ? text : QStringLiteral("<no cursor>");
}

} // namespace

class TestLists : public QObject {
    Q_OBJECT
    QTemporaryDir FDir;
    QString path(const char* name) const { return FDir.filePath(name); }

private slots:
    void cursorEdges() {
        TLinkedList list;
        QString text;
        QVERIFY(!list.GoTo(0));
        QCOMPARE(list.IndexOf(u"Haus"), -1);
        QCOMPARE(list.CurrentIndex(), -1);

        fillFour(list);
        QCOMPARE(list.Count(), 4);
        list.First();
        QCOMPARE(list.IndexOf(u"haus"), 2);
        list.Last();
        list.AddSorted(u"HAUS"); // inserts nothing; the equal item becomes the cursor
        QCOMPARE(list.Count(), 4);
        QCOMPARE(current(list), QStringLiteral("Haus"));
        QVERIFY(!list.GetText(list.Count(), text)); // and the cursor goes to the first item
        QCOMPARE(list.CurrentIndex(), 0);
    }

    void locate_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("first of two with the prefix") << "ha"
                                                      << "Hafen";
        QTest::newRow("greatest below") << "hz"
                                        << "Haus";
        QTest::newRow("nothing below") << "aa"
                                       << "Bau";
        QTest::newRow("umlaut is not the letter") << "hä"
                                                  << "Bau";
    }
    void locate() {
        QFETCH(QString, text);
        TLinkedList list;
        fillFour(list);
        list.First();
        list.Locate(text);
        QTEST(current(list), "expected");
    }

    void hashList() {
        const QString file = path("de.ipa");
        QVERIFY(writeAll(file, "old"));
        THashList list;
        QVERIFY(list.SaveToFile(file).ok());
        QCOMPARE(readAll(file), "old"); // an empty list leaves the file alone
        list.AddSorted(u"Haus", u"haʊs");
        list.AddSorted(u"x", QString(200, u'ʊ'));
        QVERIFY(list.SaveToFile(file).ok());
        QCOMPARE(readAll(file), QByteArray::fromHex("0A486175733D6861CA8A73") + "\xFEx=" +
                                    QString(126, u'ʊ').toUtf8()); // cut to 254, not 255 bytes
        list.AddSorted(u"HAUS", u"neu"); // a new value under the stored key
        QCOMPARE(list.Count(), 2);
        QString key = QStringLiteral("haus"), value;
        QVERIFY(list.Find(key, value));
        QCOMPARE(key + '=' + value, QStringLiteral("Haus=neu"));
        key = QStringLiteral("Hau");
        QVERIFY(!list.Find(key, value));

        // key=a=b keeps "a"; a record without "=" or with an empty value is no pair.
        QVERIFY(writeAll(file, "\x07key=a=b\x05nokey\x04"
                               "emp=\x05Zoo=z"));
        QVERIFY(list.LoadFromFile(file).ok() && list.Loaded());
        QStringList pairs;
        for (int i = 0; list.GetPair(i, key, value); ++i)
            pairs << key + '=' + value;
        QCOMPARE(pairs, QStringList({"key=a", "Zoo=z"}));

        QVERIFY(writeAll(file, "\x05"
                               "a=bcd\x05"
                               "b=c")); // ends inside the second record
        QVERIFY(!list.LoadFromFile(file).ok());
        QVERIFY(!list.Loaded() && list.Count() == 0);
        QCOMPARE(list.LoadFromFile(path("none")).message(), "File " + path("none") + " not found");
        QVERIFY(!list.Loaded());
    }

    void wordListBytes() {
        const QString file = path("x.tx1");
        TWordList list;
        QVERIFY(list.SaveToFile(file).ok());
        QVERIFY(QFile::exists(file) && readAll(file).isEmpty());
        list.AddSortedWithData(u"Haus", {{184, 1}, {530, 4}});
        list.AddSortedWithData(u"a", {{10, 4}, {20, 1}, {30, 0}, {40, 1}}); // stored 1, 1, 4, 0
        QVERIFY(list.SaveToFile(file).ok());
        QCOMPARE(readAll(file).toHex(' '),
                 QByteArray::fromHex("010400 61 14000000 01 28000000 01 0A000000 04 1E000000 00"
                                     "04 02 00 48 61 75 73 B8 00 00 00 01 12 02 00 00 04")
                     .toHex(' '));

        TWordList loaded;
        QVERIFY(loaded.LoadFromFile(file).ok());
        QVERIFY(loaded.LoadFromFile(file).ok());
        QCOMPARE(loaded.Count(), 2);
        QCOMPARE(loaded.Total(), 12); // summed over both loads
        QCOMPARE(loaded.CurrentIndex(), 1);
        QString text;
        TTermRefArray refs;
        QVERIFY(loaded.GetItem(1, text, refs));
        QCOMPARE(text, QStringLiteral("Haus"));
        QCOMPARE(refs, (TTermRefArray{{184, 1}, {530, 4}}));
    }

    void loadDamagedOrMissing_data() {
        QTest::addColumn<int>("keep"); // bytes kept of the 28-byte file; -1: no file
        QTest::newRow("missing") << -1;
        QTest::newRow("inside the first record") << 5;
        QTest::newRow("one byte of the second") << 12;
        QTest::newRow("inside the count") << 13;
        QTest::newRow("inside the headword") << 16;
        QTest::newRow("inside the references") << 22;
        QTest::newRow("one byte short") << 27;
    }
    void loadDamagedOrMissing() {
        QFETCH(int, keep);
        const QString file = path("x.tx1");
        TWordList list;
        list.AddSortedWithData(u"Bau", {{184, 1}});
        list.AddSortedWithData(u"Haus", {{184, 1}, {530, 4}});
        QVERIFY(list.SaveToFile(file).ok());
        const QByteArray bytes = readAll(file);
        QCOMPARE(bytes.size(), 28);
        QVERIFY(keep < 0 ? QFile::remove(file) : writeAll(file, bytes.left(keep)));
        const TStatus s = list.LoadFromFile(file);
        QVERIFY2(!s.ok() && s.message().contains(file), qPrintable(s.message()));
        if (keep < 0)
            QCOMPARE(s.message(), "File " + file + " not found");
        QCOMPARE(list.Count(), 0);
        QCOMPARE(list.CurrentIndex(), -1);
    }
};

QTEST_GUILESS_MAIN(TestLists)
#include "test_lists.moc"
