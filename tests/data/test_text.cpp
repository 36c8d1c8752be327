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
    // CompareTextUtf8 and StartsText are checked against CompareText by test_differential.
    void compare() {
        QCOMPARE(CompareText(u"Haus", u"HAUS"), 0);
        QVERIFY(CompareText(u"Haus", u"Häus") < 0 && CompareText(u"Häus", u"Haus") > 0);
        QVERIFY(CompareText(u"apfel", u"Bank") < 0 && CompareText(u"Äpfel", u"birne") < 0);
        QVERIFY(CompareText(u"Haus", u"haust") < 0);
        // ß stays apart from "ss" at this strength; index order depends on it.
        QVERIFY(CompareText(u"Straße", u"Strasse") != 0);
        QVERIFY(EndsText(u"US", u"Haus") && !EndsText(u"xHaus", u"Haus"));
        QVERIFY(!EndsText(u"äus", u"Haus"));
    }

    // The loader thread compares words too; every thread must see the same order.
    void compareFromOtherThreads() {
        const QStringList words = {"Haus", "HAUS", u"Häus"_s, u"Straße"_s, "apfel", "Bank", ""};
        auto table = [&] {
            QList<int> out;
            for (const QString& a : words)
                for (const QString& b : words)
                    out.append(qBound(-1, CompareText(a, b), 1));
            return out;
        };
        QList<int> fromStd, fromQt;
        std::thread t1([&] { fromStd = table(); });
        std::unique_ptr<QThread> t2(QThread::create([&] { fromQt = table(); }));
        t2->start();
        t1.join();
        QVERIFY(t2->wait(30000));
        QCOMPARE(fromStd, table());
        QCOMPARE(fromQt, table());
    }

    void splitText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("separator");
        QTest::addColumn<bool>("trim");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("two sides") << "a :: b"
                                   << " :: " << true << QStringList{"a", "b"};
        QTest::newRow("ends with it") << "a :: "
                                      << " :: " << true << QStringList{"a"};
        QTest::newRow("ends with it, untrimmed") << "a :: "
                                                 << " :: " << false << QStringList{"a"};
        QTest::newRow("key=") << "key="
                              << "=" << false << QStringList{"key"};
        QTest::newRow("no separator") << "abc"
                                      << " :: " << true << QStringList{"abc"};
        QTest::newRow("empty, 1 char") << ""
                                       << "=" << false << QStringList{};
        QTest::newRow("empty, 4 chars") << ""
                                        << " :: " << false << QStringList{""};
        QTest::newRow("empty, 4 chars, trim") << ""
                                              << " :: " << true << QStringList{};
        QTest::newRow("empty pieces") << "=a==b"
                                      << "=" << false << QStringList{"", "a", "", "b"};
        QTest::newRow("blank pieces") << "=a= =b"
                                      << "=" << true << QStringList{"a", "b"};
        QTest::newRow("untrimmed") << " a = b "
                                   << "=" << false << QStringList{" a ", " b "};
        QTest::newRow("case-sensitive") << "aXbxc"
                                        << "x" << false << QStringList{"aXb", "c"};
    }
    void splitText() {
        QFETCH(QString, text);
        QFETCH(QString, separator);
        QFETCH(bool, trim);
        QTEST(SplitText(text, separator, trim), "expected");
    }

    void brackets() {
        QCOMPARE(SplitTopLevel(u"to go (there; here); x", u';'),
                 (QStringList{"to go (there; here)", "x"}));
        QCOMPARE(SplitTopLevel(u"a [b|c] {d|e}| f |", u'|'), (QStringList{"a [b|c] {d|e}", "f"}));
        QCOMPARE(SplitTopLevel(u"a) b; c", u';'), QStringList{"a) b; c"}); // depth below 0
        auto del = [](QString text) { return DeleteEnclosed(text, u'{', u'}'), text; };
        QCOMPARE(del("Haus {n} [x]"), "Haus  [x]");
        QCOMPARE(del("{a}x{b}y{c}"), "xy");
        QCOMPARE(del("a{b{c}d}e"), "ad}e");
        QCOMPARE(del("a {b"), "a {b");
        // A closing mark before the first opening one is left alone, and the loop ends.
        QCOMPARE(del("a } b { c"), "a } b { c");
        QCOMPARE(del("a } b {c} d"), "a } b  d");
    }

    void replaceAll() {
        auto run = [](QString text, QList<QString> patterns, QList<QString> replacements) {
            return ReplaceAll(text, patterns, replacements), text;
        };
        QCOMPARE(run("a....b", {".."}, {"."}), "a.b"); // searched again after each replacement
        QCOMPARE(run("aaab", {"ab"}, {"b"}), "b");
        QCOMPARE(run("x...y....", {"..."}, {u"…"_s}), u"x…y…."_s);
        QCOMPARE(run("ab", {"a", "b"}, {"b", "c"}), "cc"); // pairs in list order
        QCOMPARE(run("ab", {"a", "b"}, {"b"}), "ab");
        QCOMPARE(run("a-a", {"a"}, {"aa"}), "aa-aa"); // must not loop forever
    }

    void fieldsAndTrim() {
        QCOMPARE(ExtractField("a,b,c", ',', 0), "a");
        QCOMPARE(ExtractField("a,b,c", ',', 2), "c");
        QCOMPARE(ExtractField("a,b,c", ',', 3), "");
        QCOMPARE(ExtractField("a,,c", ',', 1), "");
        QCOMPARE(ExtractField("abc", ',', 0), "abc");
        QCOMPARE(ExtractField("abc", ',', 1), "");
        QCOMPARE(Trim(u"\t\r\n \x01x y\x1f "), "x y");
        QCOMPARE(Trim(u"!x!"), "!x!");
        QCOMPARE(Trim(u"\u00A0x\u3000"), u"\u00A0x\u3000"_s); // only codes below 33
        QCOMPARE(TrimAnsi("\t\xA0x \n"), "\xA0x");
    }

    void lineBreaksToBlanks_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("CR LF is one break") << "Haus\r\nBaum"
                                            << "Haus Baum";
        QTest::newRow("lone CR, lone LF") << "a\rb\nc"
                                          << "a b c";
        QTest::newRow("LF CR is two") << "a\n\rb"
                                      << "a  b";
        QTest::newRow("at the ends") << "\r\n[Window]\n"
                                     << " [Window] ";
        QTest::newRow("other controls stay") << "a\tb\x0B"
                                             << "a\tb\x0B";
    }
    void lineBreaksToBlanks() {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(LineBreaksToBlanks(text), expected);
    }

    void cutUtf8() {
        const QString text = u"a\u00E4\u20AC\U0001D11Eb"_s; // 1, 2, 3, 4 and 1 bytes
        const QByteArray utf8 = text.toUtf8();
        for (qsizetype max = 0; max <= utf8.size(); ++max) {
            QByteArray longest; // the longest whole-character prefix that fits
            for (qsizetype n = 0; n <= text.size(); ++n) {
                const QByteArray prefix = text.first(n).toUtf8();
                if (prefix.size() <= max && (n == text.size() || !text[n].isLowSurrogate()))
                    longest = prefix;
            }
            QCOMPARE(CutUtf8(utf8, max), longest);
        }
    }

    // Refilled strings must read exactly as fresh ones, whatever the bytes, and a copy
    // taken before must keep its text.
    void assignUtf8() {
        const char* samples[] = {"", "Haus", "Stra\xC3\x9F" "e", "\xEF\xBB\xBFHaus", "a\xEF\xBB\xBF",
                                 "\xF0\x9F\x98\x80!", "\xC3", "\xC0\xAF", "\xED\xA0\x80",
                                 "\xEF\xBF\xBE", "\xF4\x90\x80\x80", "x\xFFy", "\xE2\x82"};
        QString reused = QStringLiteral("a longer text than any sample here");
        for (const char* sample : samples) {
            const QByteArray bytes(sample);
            const QString copy = reused;
            const QString text(copy.constData(), copy.size()); // not shared with `reused`
            AssignUtf8(reused, bytes);
            QCOMPARE(reused, QString::fromUtf8(bytes));
            QCOMPARE(reused.isNull(), QString::fromUtf8(bytes).isNull());
            QCOMPARE(copy, text);
        }
    }

    void ansi() {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        QCOMPARE(ToAnsi(FromAnsi(all)), all);
        QCOMPARE(FromAnsi("\x80\x8C\x9F\xE4"), u"\u20AC\u0152\u0178\u00E4"_s);
        QCOMPARE(ToAnsi(u"\u20AC \u2026 \u00FC \u03A9"), "\x80 \x85 \xFC ?");
    }
};

QTEST_GUILESS_MAIN(TestText)
#include "test_text.moc"
