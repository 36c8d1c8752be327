// SPDX-License-Identifier: GPL-2.0-or-later
// The shared drawing helpers: gradient steps, clipped text output, grip dots.
#include "DrawTools.h"

#include <QImage>
#include <QtTest>

using namespace quillet;

class TestDrawTools : public QObject {
    Q_OBJECT

    static QImage blank(int w = 20, int h = 20) {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(Qt::white);
        return image;
    }

private slots:
    void gradient_data() {
        QTest::addColumn<quint32>("from");
        QTest::addColumn<quint32>("to");
        QTest::addColumn<bool>("horizontal");
        QTest::addColumn<QList<quint32>>("lines");
        QTest::newRow("one line") << 0u << 0x00FF8040u << true << QList<quint32>{0x00FF8040};
        // 2.5 -> 2, 1.5 -> 2, 0.5 -> 0.
        QTest::newRow("halves to even")
            << 0u << 0x00010305u << true << QList<quint32>{0x00000202, 0x00010305};
        QTest::newRow("falling rows") << 3u << 0u << false << QList<quint32>{2, 0};
        QTest::newRow("skin") << 0x0065E0FFu << 0x00A5F0FFu << true
                              << QList<quint32>{0x0075E4FF, 0x0085E8FF, 0x0095ECFF, 0x00A5F0FF};
        QTest::newRow("empty") << 0u << 0x00FFFFFFu << false << QList<quint32>{};
    }
    void gradient() {
        QFETCH(quint32, from);
        QFETCH(quint32, to);
        QFETCH(bool, horizontal);
        QFETCH(QList<quint32>, lines);
        QImage image = blank();
        QPainter painter(&image);
        const int n = int(lines.size());
        const QRect rect = horizontal ? RectLTRB(3, 4, 3 + n, 9) : RectLTRB(3, 4, 9, 4 + n);
        GradientFill(painter, PlatformColor(from), PlatformColor(to), horizontal, rect);
        // Inverted across the lines: nothing, even though the line count is positive.
        const QRect inverted = horizontal ? RectLTRB(12, 9, 16, 5) : RectLTRB(16, 12, 12, 16);
        GradientFill(painter, Qt::black, Qt::black, horizontal, inverted);
        painter.end();
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const int line = horizontal ? x - 3 : y - 4;
                QCOMPARE(image.pixelColor(x, y),
                         rect.contains(x, y) ? PlatformColor(lines[line]) : Qt::white);
            }
    }

    // The text cell starts at (x, y); a solid brush fills it, but only inside the clip.
    void textCellClipped() {
        QImage image = blank(120, 40);
        QPainter painter(&image);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(16);
        painter.setFont(font);
        const QFontMetrics metrics(font, &image);
        const QString text = QStringLiteral("MMMMMM");
        QCOMPARE(WideTextWidth(painter, text), metrics.horizontalAdvance(text));
        painter.setBrush(Qt::yellow);
        WideTextRect(painter, RectLTRB(0, 0, 30, 40), 5, 7, text);
        painter.setBrush(Qt::NoBrush);
        WideTextRect(painter, RectLTRB(60, 0, 90, 40), 65, 7, text);
        painter.end();
        bool cut = false;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (x < 60)
                    QCOMPARE(c != Qt::white, QRect(5, 7, 25, metrics.height()).contains(x, y));
                else
                    QVERIFY(c == Qt::white || (x < 90 && c.blue() == c.red())); // no cell fill
                cut |= x >= 85 && x < 90 && c.lightness() < 100;
            }
        QVERIFY(cut); // glyphs reach the clip edge and stop there
    }

    void gripDot() {
        QImage image(6, 6, QImage::Format_RGB32);
        image.fill(Qt::black);
        QPainter painter(&image);
        DrawGripDot(painter, 1, 2);
        QCOMPARE(painter.brush().color(), PlatformColor(0x00808080));
        painter.end();
        const QRect grey = RectLTRB(1, 2, 3, 4), white = RectLTRB(2, 3, 4, 5);
        for (int i = 0; i < 36; ++i) {
            const QPoint p(i % 6, i / 6);
            const QRgb want = grey.contains(p) ? 0x808080 : white.contains(p) ? 0xFFFFFF : 0;
            QCOMPARE(image.pixelColor(p), QColor(want));
        }
    }
};

QTEST_MAIN(TestDrawTools)
#include "test_drawtools.moc"
