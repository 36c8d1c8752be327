// SPDX-License-Identifier: GPL-2.0-or-later
// Word comparison, the text helpers of the term extraction and the 8-bit code page.
#include "Ansi.h"
#include "Collation.h"
#include "TextTools.h"

#include <QThread>
#include <QtTest>
#include <thread>

using namespace quillet;
using namespace Qt::StringLiterals;

class TestText : public QObject {
    Q_OBJECT

private slots:
    void compare_data();
    void compare();
    void startsEnds();
    void compareFromOtherThreads();
    void splitText_data();
    void splitText();
    void splitTopLevel();
    void deleteEnclosed_data();
    void deleteEnclosed();
    void replaceAll();
    void extractField();
    void trim();
    void cutUtf8();
    void ansi();
};

static int sign(int v) { return (v > 0) - (v < 0); }

void TestText::compare_data() {
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("expected");
    QTest::newRow("case") << "Haus" << "HAUS" << 0;
    QTest::newRow("umlaut differs") << "Haus" << u"Häus"_s << -1;
    QTest::newRow("sharp s") << u"Straße"_s << "Strasse" << 0;
    QTest::newRow("order ignores case") << "apfel" << "Bank" << -1;
    QTest::newRow("prefix first") << "Haus" << "haust" << -1;
    QTest::newRow("umlaut sorts with its letter") << u"Äpfel"_s << "Birne" << -1;
}

void TestText::compare() {
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, expected);
    QCOMPARE(sign(CompareText(a, b)), expected);
    QCOMPARE(sign(CompareText(b, a)), -expected);
    QCOMPARE(sign(CompareTextUtf8(a.toStdString(), b.toStdString())), expected);
}

void TestText::startsEnds() {
    QVERIFY(StartsText(u"ha", u"Haus"));
    QVERIFY(StartsText(u"", u"Haus"));
    QVERIFY(StartsText(u"HAUS", u"Haus"));
    QVERIFY(!StartsText(u"Hausx", u"Haus"));
    QVERIFY(!StartsText(u"hä", u"Haus"));
    QVERIFY(EndsText(u"US", u"Haus"));
    QVERIFY(!EndsText(u"xHaus", u"Haus"));
    QVERIFY(!EndsText(u"äus", u"Haus"));
}

// The loader thread compares words too; every thread must see the same order.
void TestText::compareFromOtherThreads() {
    const QStringList words = {"Haus", "HAUS", u"Häus"_s, u"Straße"_s, "Strasse", "apfel",
                               "Bank", u"Äpfel"_s, "zoo", ""};
    auto table = [&] {
        QList<int> out;
        for (const QString& a : words)
            for (const QString& b : words)
                out.append(sign(CompareText(a, b)));
        return out;
    };
    const QList<int> here = table();
    QList<int> fromStd, fromQt;
    std::thread t1([&] { fromStd = table(); });
    QThread* t2 = QThread::create([&] { fromQt = table(); });
    t2->start();
    t1.join();
    QVERIFY(t2->wait(30000));
    delete t2;
    QCOMPARE(fromStd, here);
    QCOMPARE(fromQt, here);
}

void TestText::splitText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<bool>("trim");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("two sides") << "a :: b" << " :: " << true << QStringList{"a", "b"};
    QTest::newRow("ends with separator") << "a :: " << " :: " << true << QStringList{"a"};
    QTest::newRow("ends with separator, no trim") << "a :: " << " :: " << false << QStringList{"a"};
    QTest::newRow("key without value") << "key=" << "=" << false << QStringList{"key"};
    QTest::newRow("no separator") << "abc" << " :: " << true << QStringList{"abc"};
    QTest::newRow("empty, one-char separator") << "" << "=" << false << QStringList{};
    QTest::newRow("empty, long separator") << "" << " :: " << false << QStringList{""};
    QTest::newRow("empty, long separator, trim") << "" << " :: " << true << QStringList{};
    QTest::newRow("empty pieces kept") << "=a==b" << "=" << false << QStringList{"", "a", "", "b"};
    QTest::newRow("empty pieces dropped") << "=a= =b" << "=" << true << QStringList{"a", "b"};
    QTest::newRow("blanks kept") << " a = b " << "=" << false << QStringList{" a ", " b "};
    QTest::newRow("case-sensitive") << "aXbxc" << "x" << false << QStringList{"aXb", "c"};
    QTest::newRow("three sides") << "a :: b :: c" << " :: " << true << QStringList{"a", "b", "c"};
}

void TestText::splitText() {
    QFETCH(QString, text);
    QFETCH(QString, separator);
    QFETCH(bool, trim);
    QFETCH(QStringList, expected);
    QCOMPARE(SplitText(text, separator, trim), expected);
    QList<QByteArray> bytes;
    for (const QString& piece : expected)
        bytes.append(piece.toLatin1());
    QCOMPARE(SplitAnsi(text.toLatin1(), separator.toLatin1(), trim), bytes);
}

void TestText::splitTopLevel() {
    QCOMPARE(SplitTopLevel(u"to go (there; here); x", u';'),
             (QStringList{"to go (there; here)", "x"}));
    QCOMPARE(SplitTopLevel(u"a [b|c] {d|e}|f", u'|'), (QStringList{"a [b|c] {d|e}", "f"}));
    QCOMPARE(SplitTopLevel(u" ;a;; b ;", u';'), (QStringList{"a", "b"}));
    // A stray closing bracket takes the depth below zero: no cut after it.
    QCOMPARE(SplitTopLevel(u"a) b; c", u';'), (QStringList{"a) b; c"}));
    QCOMPARE(SplitTopLevel(u"", u';'), QStringList{});
}

void TestText::deleteEnclosed_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("annotation") << "Haus {n} [x]" << "Haus  [x]";
    QTest::newRow("every group") << "{a}x{b}y{c}" << "xy";
    QTest::newRow("nested: to the first close") << "a{b{c}d}e" << "ad}e";
    QTest::newRow("unclosed") << "a {b" << "a {b";
    QTest::newRow("close before open") << "a } b { c" << "a } b { c";
    QTest::newRow("close before a closed group") << "a } b {c} d" << "a } b  d";
}

void TestText::deleteEnclosed() {
    QFETCH(QString, text);
    QFETCH(QString, expected);
    DeleteEnclosed(text, u'{', u'}');
    QCOMPARE(text, expected);
}

void TestText::replaceAll() {
    auto run = [](QString text, QList<QString> patterns, QList<QString> replacements) {
        ReplaceAll(text, patterns, replacements);
        return text;
    };
    // Searching again after each replacement collapses repeats completely.
    QCOMPARE(run("a....b", {".."}, {"."}), "a.b");
    QCOMPARE(run("aaab", {"ab"}, {"b"}), "b");
    QCOMPARE(run("x...y....", {"..."}, {u"\u2026"_s}), u"x\u2026y\u2026."_s);
    // Pairs apply in list order.
    QCOMPARE(run("ab", {"a", "b"}, {"b", "c"}), "cc");
    QCOMPARE(run("ab", {"a", "b"}, {"b"}), "ab");
    QCOMPARE(run("", {""}, {"x"}), "");
    // A replacement holding its own pattern must not loop forever.
    QCOMPARE(run("a-a", {"a"}, {"aa"}), "aa-aa");
}

void TestText::extractField() {
    QCOMPARE(ExtractField("a,b,c", ',', 0), "a");
    QCOMPARE(ExtractField("a,b,c", ',', 1), "b");
    QCOMPARE(ExtractField("a,b,c", ',', 2), "c");
    QCOMPARE(ExtractField("a,b,c", ',', 3), "");
    QCOMPARE(ExtractField("abc", ',', 0), "abc");
    QCOMPARE(ExtractField("abc", ',', 1), "");
    QCOMPARE(ExtractField("a,,c", ',', 1), "");
}

void TestText::trim() {
    QCOMPARE(Trim(u"\t\r\n \x01x y\x1f "), "x y");
    QCOMPARE(Trim(u"!x!"), "!x!");
    // Only codes below 33: no-break and ideographic blanks are text.
    QCOMPARE(Trim(u"\u00A0x\u3000"), u"\u00A0x\u3000"_s);
    QCOMPARE(Trim(u" \t "), "");
    QCOMPARE(TrimAnsi("\t\xA0x \n"), "\xA0x");
}

void TestText::cutUtf8() {
    const QString text = u"a\u00E4\u20AC\U0001D11Eb"_s; // 1, 2, 3, 4 and 1 bytes
    const QByteArray utf8 = text.toUtf8();
    for (qsizetype max = 0; max <= utf8.size() + 1; ++max) {
        QByteArray longest;
        for (qsizetype n = 0; n <= text.size(); ++n) {
            if (n < text.size() && text[n].isLowSurrogate())
                continue;
            const QByteArray prefix = text.first(n).toUtf8();
            if (prefix.size() <= max)
                longest = prefix;
        }
        QCOMPARE(CutUtf8(utf8, max), longest);
    }
}

void TestText::ansi() {
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    QCOMPARE(ToAnsi(FromAnsi(all)), all);
    QCOMPARE(FromAnsi("\x80\x8C\x9F\xE4\xDF"), u"\u20AC\u0152\u0178\u00E4\u00DF"_s);
    QCOMPARE(ToAnsi(u"\u20AC \u2026 \u00FC"), "\x80 \x85 \xFC");
    QCOMPARE(ToAnsi(u"\u03A9\u0100x"), "??x");
}

QTEST_GUILESS_MAIN(TestText)
#include "test_text.moc"
