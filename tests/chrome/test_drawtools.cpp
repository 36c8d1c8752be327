// SPDX-License-Identifier: GPL-2.0-or-later
// The shared drawing helpers: colour values, gradient steps, clipped text output, grip dots,
// the rounded window shape, the window frames and status panels.
#include "DrawTools.h"
#include "SkinPalette.h"

#include <QImage>
#include <QProgressBar>
#include <QtTest>
#include <QWidget>

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
    // 0x00BBGGRR: red is the low byte.
    void skinPalette() {
        QCOMPARE(PlatformColor(skin::AccentOrange), QColor(245, 143, 6));
        QCOMPARE(PlatformColor(skin::WindowBackground), QColor(255, 224, 101));
        QCOMPARE(PlatformColor(skin::DarkOrangeOutline), QColor(213, 111, 0));
        QCOMPARE(PlatformColor(skin::PaleYellow), QColor(255, 255, 149));
    }

    // CreateRoundRectRgn(0, 0, W, H, 9, 9) stops one pixel short of W and H; its corner
    // rows come from a 9 x 9 ellipse, i.e. a circle of radius 4 around pixel centres.
    void roundWindowRegion() {
        const int w = 718, h = 490;
        const QRegion region = RoundRectRgn(0, 0, w, h, 9, 9);
        QCOMPARE(region.boundingRect(), RectLTRB(0, 0, w - 1, h - 1));
        const QList<int> corner{3, 2, 1, 0, 0};
        for (int y = 0; y < h - 1; ++y) {
            const int fromEdge = qMin(y, h - 2 - y);
            const int inset = fromEdge < corner.size() ? corner[fromEdge] : 0;
            QCOMPARE(region.intersected(RectLTRB(0, y, w, y + 1)),
                     QRegion(RectLTRB(inset, y, w - 1 - inset, y + 1)));
        }
        QWidget window;
        window.resize(w, h);
        SetRoundWindowRegion(window, 9);
        QCOMPARE(window.mask(), region);
        // Ellipses smaller than 2 give rectangles; larger than the shape, they are cut.
        QCOMPARE(RoundRectRgn(0, 0, 10, 10, 1, 9), QRegion(0, 0, 9, 9));
        QCOMPARE(RoundRectRowInsets(5, 3, 9, 9), (QList<int>{1, 0, 1}));
        QVERIFY(RoundRectRgn(0, 0, 1, 5, 4, 4).isEmpty());
    }

    // Black outer line, white inner line, the colour inside; also at device ratio 2.
    void flatFrame() {
        for (const qreal ratio : {1.0, 2.0}) {
            QImage image(int(40 * ratio), int(30 * ratio), QImage::Format_RGB32);
            image.setDevicePixelRatio(ratio);
            image.fill(Qt::magenta);
            QPainter painter(&image);
            PaintFlatFrame(painter, QSize(40, 30), 9, Qt::yellow);
            painter.end();
            const auto at = [&](int x, int y) {
                return image.pixelColor(int(x * ratio), int(y * ratio));
            };
            const QList<QColor> fromLeft{Qt::black, Qt::white, Qt::yellow};
            for (int i = 0; i < 3; ++i) {
                QCOMPARE(at(i, 15), fromLeft[i]);
                QCOMPARE(at(38 - i, 15), fromLeft[i]);
                QCOMPARE(at(20, i), fromLeft[i]);
                QCOMPARE(at(20, 28 - i), fromLeft[i]);
            }
            QCOMPARE(at(39, 15), QColor(Qt::magenta)); // outside the window's shape
            QCOMPARE(at(0, 0), QColor(Qt::magenta));   // rounded corner
        }
    }

    // Every skin pixel has its own colour, so each window pixel tells where it came from.
    void skinFrame() {
        QImage skin(23, 20, QImage::Format_RGB32);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 23; ++x)
                skin.setPixelColor(x, y, QColor(x * 10, y * 10, 200));
        const auto src = [](int x, int y) { return QColor(x * 10, y * 10, 200); };
        const int w = 718, h = 490, r = 9;
        for (const qreal ratio : {1.0, 2.0}) {
            QImage image(int(w * ratio), int(h * ratio), QImage::Format_RGB32);
            image.setDevicePixelRatio(ratio);
            image.fill(Qt::magenta);
            QPainter painter(&image);
            PaintSkinFrame(painter, QSize(w, h), r, Qt::yellow, skin);
            painter.end();
            const auto at = [&](int x, int y) {
                return image.pixelColor(int(x * ratio), int(y * ratio));
            };
            // Top and bottom slices at x = 8, 10, ..., 708; the corners cover the ends.
            for (int x = 8; x < 708; ++x) {
                QCOMPARE(at(x, 0), src(r + (x - 8) % 2, 0));
                QCOMPARE(at(x, 4), src(r + (x - 8) % 2, 4));
                if (x == 8)
                    continue;                       // the bottom-left corner is one pixel wider
                QCOMPARE(at(x, h - 5), src(r, 16)); // stretched to 4 wide, restamped every 2
                QCOMPARE(at(x, h - 2), src(r, 19));
            }
            // Side slices at y = 8, 10, ..., 480.
            for (int y = 8; y < h - r; ++y) {
                QCOMPARE(at(2, y), src(2, r + (y - 8) % 2));
                QCOMPARE(at(w - 5, y), src(19, r));
                QCOMPARE(at(w - 2, y), src(22, r));
            }
            QCOMPARE(at(3, 3), src(3, 3));
            QCOMPARE(at(708, 0), src(14, 0));
            QCOMPARE(at(716, 7), src(22, 7));
            QCOMPARE(at(0, 481), src(0, 12));
            QCOMPARE(at(8, 488), src(8, 19));
            QCOMPARE(at(716, 488), src(21, 19));
            QCOMPARE(at(0, 489), QColor(Qt::magenta)); // the row below the skin is not invented
            QCOMPARE(at(300, 200), QColor(Qt::yellow));
        }
    }

    // Panels 100 and 50 wide: 2 pixels apart, from 2 pixels below the top, the last one
    // to the right edge; the progress bar lands exactly on its panel.
    void statusPanels() {
        QWidget statusBar;
        statusBar.resize(300, 20);
        const QList<int> widths{100, 50};
        QCOMPARE(StatusPanelRect(statusBar, widths, 0), RectLTRB(0, 2, 100, 20));
        QCOMPARE(StatusPanelRect(statusBar, widths, 1), RectLTRB(102, 2, 300, 20));
        QProgressBar progress;
        QVERIFY(!PlaceProgressInStatusPanel(progress, statusBar, widths, 2));
        QCOMPARE(progress.parentWidget(), nullptr);
        QVERIFY(PlaceProgressInStatusPanel(progress, statusBar, widths, 1));
        QCOMPARE(progress.parentWidget(), &statusBar);
        QCOMPARE(progress.geometry(), RectLTRB(102, 2, 300, 20));
        QVERIFY(progress.isVisibleTo(&statusBar));
    }
};

QTEST_MAIN(TestDrawTools)
#include "test_drawtools.moc"
