// SPDX-License-Identifier: GPL-2.0-or-later
#include "DrawTools.h"
#include "MainWindowPainting.h"

#include <QtTest>

using namespace quillet;

class TestMainWindowPainting : public QObject {
    Q_OBJECT

private slots:
    void splitterGripRows() {
        // round(197) - 5 and round(197.5) - 5: halves go to the even neighbour.
        const QList<QPoint> dots = SplitterGripDots(394);
        QCOMPARE(dots.size(), 8);
        QCOMPARE(dots.first(), QPoint(0, 192));
        QCOMPARE(dots[1], QPoint(6, 192));
        QCOMPARE(dots.last(), QPoint(6, 192 + 18));
        QCOMPARE(SplitterGripDots(395).first().y(), 193);
        QCOMPARE(SplitterGripDots(393).first().y(), 191); // 196.5 rounds to 196
    }

    void bannerHouseOnlyWhileHovered() {
        QPixmap house(16, 16);
        house.fill(Qt::green);
        auto paint = [&](bool hover) {
            QImage image(701, 25, QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            QFont font(QStringLiteral("DejaVu Sans"));
            font.setPixelSize(13);
            painter.setFont(font);
            PaintBanner(painter, image.size(), QStringLiteral("Quillet ... Tell us!"), hover,
                        house);
            return image;
        };
        auto greenPixels = [](const QImage& image) {
            int count = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    count += image.pixelColor(x, y) == QColor(Qt::green);
            return count;
        };
        QCOMPARE(greenPixels(paint(false)), 0);
        const QImage hovered = paint(true);
        QCOMPARE(greenPixels(hovered), 16 * 16); // left of the text, clear of the rule
        // The rule under the text: two lines, fading in from x 50 up to 5 pixels short of the
        // right edge.
        QCOMPARE(hovered.pixelColor(49, 24), QColor(Qt::white));
        QCOMPARE(hovered.pixelColor(695, 24), PlatformColor(0x00A5F0FF));
        QCOMPARE(hovered.pixelColor(695, 23), PlatformColor(0x002590AF));
        QCOMPARE(hovered.pixelColor(696, 24), QColor(Qt::white));
    }
};

QTEST_MAIN(TestMainWindowPainting)
#include "test_mainwindowpainting.moc"
