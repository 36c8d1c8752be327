// SPDX-License-Identifier: GPL-2.0-or-later
// Entry markup: word styles, clickable words and the layout with word wrap.
#include "TermObject.h"

#include <QImage>
#include <QtTest>

using namespace quillet;
using namespace Qt::StringLiterals;

constexpr int lineHeight = 18;

// One part drawn into a white image in DejaVu Sans, 13 pixels.
struct Drawn {
    TTermObject term;
    QImage image{400, 100, QImage::Format_RGB32};
    QRect rect{};

    Drawn(const QString& text, const QString& search = {}, int width = 400, int part = 0)
        : term(text, search), rect(0, 0, width, 100) {
        term.LineHeight = lineHeight;
        term.PartIndex = part;
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setFont(font('r'));
        term.Draw(painter, rect);
    }
    // Styles: 'r'egular, 'b'old, 'i'talic.
    static QFont font(char style) {
        QFont f(u"DejaVu Sans"_s);
        f.setPixelSize(13);
        f.setBold(style == 'b');
        f.setItalic(style == 'i');
        return f;
    }
    // A word's box in the layout: advance + 1, plus 2 for italic.
    static int box(const QString& s, char style = 'r') {
        return QFontMetrics(font(style)).horizontalAdvance(s) + 1 + (style == 'i' ? 2 : 0);
    }
    static int space() { return box(u" "_s) - 1; }
    int left(int i) const { return term.HotWords[i].Left; }
    int end(int i) const { return term.HotWords[i].Right - 1; }
    // The darkest pixel of columns [from, to): 'n'avy, blac'k', 'g'rey or 'w'hite.
    char ink(int from, int to) const {
        QColor c = Qt::white;
        for (int y = 0; y < image.height(); ++y)
            for (int x = from; x < to; ++x)
                if (image.pixelColor(x, y).lightness() < c.lightness())
                    c = image.pixelColor(x, y);
        if (c.lightness() == 255 || c.blue() > c.red() + 60)
            return c.lightness() == 255 ? 'w' : 'n';
        return c.lightness() < 60 ? 'k' : c.lightness() < 170 && c.red() == c.blue() ? 'g' : '?';
    }
};

class TestTermObject : public QObject {
    Q_OBJECT

private slots:
    // Each clickable word as its style letter and the text drawn; grey words are not listed.
    void hotWords_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("search");
        QTest::addColumn<QStringList>("words");
        QTest::newRow("groups") << u"word {f}; Wörter {pl}"_s << "word"
                                << QStringList{"bword", u"rWörter"_s};
        QTest::newRow("plural") << "houses"
                                << "house" << QStringList{"bhouses"};
        QTest::newRow("comma") << "house,"
                               << "house" << QStringList{"bhouse,"};
        QTest::newRow("case") << "House"
                              << "  house " << QStringList{"bHouse"};
        QTest::newRow("one more") << "housed"
                                  << "house" << QStringList{"bhoused"};
        QTest::newRow("longer") << "household"
                                << "house" << QStringList{"rhousehold"};
        QTest::newRow("shorter") << "hous"
                                 << "house" << QStringList{"rhous"};
        QTest::newRow("second search word") << "big"
                                            << "big house" << QStringList{"bbig"};
        QTest::newRow("in parentheses") << "(house)"
                                        << "house" << QStringList{"i(house)"};
        QTest::newRow("parenthesis run") << "(informal) to be off"
                                         << "" << QStringList{"i(informal)", "rto", "rbe", "roff"};
        // Left open, the run takes the rest, and its semicolons separate nothing.
        QTest::newRow("unclosed") << "(x word; more words"
                                  << "word" << QStringList{"iword;", "imore", "iwords"};
        // Highlighted, it keeps its bracket and does not end the annotation.
        QTest::newRow("search in annotation") << "[old house] yes"
                                              << "house" << QStringList{"bhouse]"};
        QTest::newRow("short words") << "1.  (2)   a"
                                     << "" << QStringList{};
    }
    // What a screen reader reads and which words the keyboard commands take, both without
    // a layout: the same words as the drawing shows and hit-tests.
    void plainTextAndWords() {
        QFETCH(QString, text);
        QFETCH(QString, search);
        QFETCH(QStringList, words);
        TTermObject term(text, search);
        const Drawn d(text, search);
        QStringList hot;
        for (const TTermWord& word : d.term.HotWords)
            hot.append(word.Word);
        QCOMPARE(term.ClickableWords(), hot);
        QString plain = term.PlainText();
        QVERIFY2(!plain.contains(QRegularExpression(u"[{}]"_s)), qPrintable(plain));
    }
    void plainTextAndWords_data() { hotWords_data(); }
    void plainText() {
        QCOMPARE(TTermObject(u"Haus {n};  (das) Gebäude [arch.]"_s, {}).PlainText(),
                 u"Haus n; (das) Gebäude arch."_s);
        QCOMPARE(TTermObject(u"[old house] yes"_s, "house").PlainText(), "old house] yes");
    }

    void hotWords() {
        QFETCH(QString, text);
        QFETCH(QString, search);
        QFETCH(QStringList, words);
        const Drawn d(text, search);
        QCOMPARE(qsizetype(d.term.HotWords.size()), words.size());
        for (int i = 0; i < words.size(); ++i) {
            const char style = words[i][0].toLatin1();
            QString hot = words[i].mid(1);
            hot.remove(QRegularExpression(u"[.,;:'()\\[\\]{}0-9]"_s));
            QCOMPARE(d.term.HotWords[i].Word, hot);
            QCOMPARE(d.end(i) - d.left(i), Drawn::box(words[i].mid(1), style));
            QCOMPARE(d.ink(d.left(i), d.end(i)), style == 'b' ? 'n' : 'k');
            QCOMPARE(d.term.HotWords[i].Bottom - d.term.HotWords[i].Top, lineHeight - 3);
        }
    }

    void advance() {
        const Drawn d(u"word {f}; Wörter {pl}"_s, u"word"_s);
        QCOMPARE(d.left(0), 2);
        const int f = d.end(0) + Drawn::space(), separator = f + Drawn::box(u"f"_s, 'i');
        QCOMPARE(d.left(1), separator + Drawn::box(u"; "_s) - 1);
        const int pl = d.end(1) + Drawn::space(), end = pl + Drawn::box(u"pl"_s, 'i');
        const char inks[] = {d.ink(f, separator), d.ink(separator, d.left(1)), d.ink(pl, end), 0};
        QCOMPARE(inks, "gkg");
        QCOMPARE(d.rect, QRect(0, 0, end, lineHeight + 1));
        // Parenthesis words give back their italic allowance.
        const Drawn paren(u"(informal) to be"_s);
        QCOMPARE(paren.left(1), paren.end(0) + Drawn::space() - 2);
        QCOMPARE(paren.left(2), paren.end(1) + Drawn::space());
        const Drawn unclosed(u"(x word; more"_s);
        QCOMPARE(unclosed.left(1), unclosed.end(0) + Drawn::space() - 2);
        const Drawn bracketed(u"ab [cd; ef] gh"_s); // one group: no separator drawn
        const int ef = bracketed.end(0) + 2 * Drawn::space() + Drawn::box(u"cd;"_s, 'i');
        QCOMPARE(bracketed.left(1), ef + Drawn::box(u"ef"_s, 'i') + Drawn::space());
        QCOMPARE(Drawn(u"to    be"_s).left(1), Drawn(u"to be"_s).left(1));
    }

    void lines() {
        const Drawn blank(u"     "_s);
        QCOMPARE(blank.term.TotalHeight, lineHeight);
        QCOMPARE(blank.rect, QRect(0, 0, 0, lineHeight + 1));
        QCOMPARE(blank.ink(0, 400), 'w');
        const int width = 8 + Drawn::box(u"alpha"_s) + 4; // one word a line, never two
        QVERIFY(width <= 2 + 2 * Drawn::box(u"alpha"_s) + Drawn::space());
        const Drawn d(u"alpha alpha alpha alpha"_s, {}, width);
        QCOMPARE(d.term.TotalHeight, 4 * lineHeight);
        QCOMPARE(d.rect.bottom() + 1, 4 * lineHeight + 1);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(QPoint(d.left(i), d.term.HotWords[i].Top), QPoint(i ? 8 : 2, i * lineHeight));
        const Drawn continuation(u"alpha alpha"_s, {}, 400, 1);
        QCOMPARE(QPoint(continuation.left(0), continuation.term.HotWords[1].Top), QPoint(8, 0));
    }
};

QTEST_MAIN(TestTermObject)
#include "test_termobject.moc"
