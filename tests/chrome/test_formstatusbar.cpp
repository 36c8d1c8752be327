// SPDX-License-Identifier: GPL-2.0-or-later
// The status bar: the flat panel with its outline and grip, the skinned panel from its
// slices, the flat-skin switch, the sizing cursor and resizing the window by a drag.
#include "DrawTools.h"
#include "FormStatusbar.h"
#include "SkinPalette.h"

#include <climits>
#include <QPainter>
#include <QtTest>

using namespace quillet;

class TestFormStatusbar : public QObject {
    Q_OBJECT

    std::unique_ptr<QWidget> FOwner;
    TFormStatusbar* FBar = nullptr;

    static QImage paint(QWidget& widget, qreal ratio = 1) {
        QImage image(widget.size() * ratio, QImage::Format_RGB32);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::magenta);
        widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        return image;
    }
    // A 50 x 20 skin in which every pixel names its own place.
    static QColor src(int x, int y) { return QColor(x * 5, y * 10, 77); }
    static QImage statusSkin() {
        QImage skin(50, 20, QImage::Format_RGB32);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 50; ++x)
                skin.setPixelColor(x, y, src(x, y));
        return skin;
    }

private slots:
    void init() {
        FOwner = std::make_unique<QWidget>(nullptr, Qt::Window | Qt::FramelessWindowHint);
        FOwner->setGeometry(50, 50, 718, 490);
        FBar = new TFormStatusbar(FOwner.get());
        FBar->setGeometry(0, 462, 718, 28);
        FBar->setColor(PlatformColor(skin::WindowBackground));
        FOwner->show();
        QVERIFY(QTest::qWaitForWindowExposed(FOwner.get()));
    }
    void cleanup() { FOwner.reset(); }

    // 718 x 28: outline (6, 20) up to (6, 2), right to (706, 2), slanted down to
    // (686, 20), back to (6, 20); grip dots in a 3-2-1 triangle; also at device ratio 2.
    void flatPanel() {
        const QColor grey = PlatformColor(skin::Grey), white = PlatformColor(skin::White);
        QCOMPARE(FBar->TextOrigin(), QPoint(10, 2));
        QCOMPARE(FBar->TextClip(), RectLTRB(7, 3, 686, 20));
        const QList<QPoint> dots{{695, 20}, {701, 14}, {707, 8}, {701, 20}, {707, 14}, {707, 20}};
        QCOMPARE(FBar->GripDots(), dots);
        for (const qreal ratio : {1.0, 2.0}) {
            const QImage image = paint(*FBar, ratio);
            const auto at = [&](int x, int y) {
                return image.pixelColor(int(x * ratio), int(y * ratio));
            };
            for (int y = 2; y <= 20; ++y)
                QCOMPARE(at(6, y), grey);
            for (int x = 6; x < 706; ++x)
                QCOMPARE(at(x, 2), grey);
            for (int x = 7; x <= 686; ++x)
                QCOMPARE(at(x, 20), white);
            QCOMPARE(at(706, 2), white);
            QCOMPARE(at(707, 2), QColor(Qt::magenta));
            QCOMPARE(at(696, 11), white); // on the slant, halfway
            QCOMPARE(at(400, 10), PlatformColor(skin::WindowBackground));
            QCOMPARE(at(5, 10), QColor(Qt::magenta));
            for (const QPoint& dot : dots) {
                QCOMPARE(at(dot.x(), dot.y()), grey);
                QCOMPARE(at(dot.x() + 1, dot.y() + 1), grey);
                QCOMPARE(at(dot.x() + 2, dot.y() + 2), white);
            }
        }
    }

    // Middle slices at x = 12, 16, ..., 684, left end 8..12, right end 680..710; only the
    // skin's 20 rows are painted. FlatSkin switches back to the flat panel, keeping the skin.
    void skinnedPanel() {
        FBar->setSkinBitmap(statusSkin());
        QVERIFY(FBar->Skinned());
        QCOMPARE(FBar->TextOrigin().x(), 12); // y: see textShowsWhole
        QCOMPARE(FBar->TextClip(), RectLTRB(12, 4, 676, 24));
        for (const qreal ratio : {1.0, 2.0}) {
            const QImage image = paint(*FBar, ratio);
            const auto at = [&](int x, int y) {
                return image.pixelColor(int(x * ratio), int(y * ratio));
            };
            for (int x = 0; x < 718; ++x) {
                const QColor want = x < 8     ? QColor(Qt::magenta)
                                    : x < 12  ? src(x - 8, 0)
                                    : x < 680 ? src(4 + (x - 12) % 4, 0)
                                    : x < 710 ? src(x - 680 + 20, 0)
                                              : QColor(Qt::magenta);
                QCOMPARE(at(x, 0), want);
            }
            QCOMPARE(at(100, 19), src(4, 19));
            QCOMPARE(at(100, 20), QColor(Qt::magenta));
        }
        FBar->setFlatSkin(true);
        QVERIFY(!FBar->Skinned());
        QCOMPARE(paint(*FBar).pixelColor(6, 10), PlatformColor(skin::Grey));
        FBar->setFlatSkin(false);
        QCOMPARE(paint(*FBar).pixelColor(100, 0), src(4, 0));
    }

    // Only family and size of the font count: the text is regular and black.
    void textStyle() {
        FBar->setCaption(QStringLiteral("Wörterbuch geladen"));
        const QImage plain = paint(*FBar);
        bool black = false;
        for (int x = 0; x < 60 && !black; ++x)
            black = plain.pixelColor(x + 10, 12) == QColor(Qt::black) ||
                    plain.pixelColor(x + 10, 10) == QColor(Qt::black);
        QVERIFY(black);
        QFont font = FBar->Font();
        font.setBold(true);
        font.setItalic(true);
        FBar->setFont(font);
        QCOMPARE(paint(*FBar), plain);
    }

    // In the main window's font (Trebuchet MS 13 px, or what fontconfig gives for it), at
    // 100 % and 150 %, skinned and flat: the clip cuts nothing off the top of the text,
    // the umlaut dots of "Stichwörter" show. A font whose glyphs fit keeps the origins.
    void textShowsWhole() {
        const QColor panel = PlatformColor(skin::WindowBackground);
        QImage plainSkin(50, 20, QImage::Format_RGB32);
        plainSkin.fill(panel);
        const QString text = QStringLiteral("Stichwörter");
        QFont font = PixelFont(QStringLiteral("Trebuchet MS"), 13, false);
        FBar->setFont(font);
        for (const bool skinned : {true, false}) {
            FBar->setSkinBitmap(skinned ? plainSkin : QImage());
            for (const qreal ratio : {1.0, 1.5}) {
                // Rows of ink: as the bar draws the text, and as the text is unclipped.
                const auto inkRows = [](const QImage& image, const QImage& background) {
                    int top = INT_MAX, bottom = -1;
                    for (int y = 0; y < image.height(); ++y)
                        for (int x = 0; x < image.width(); ++x)
                            if (image.pixel(x, y) != background.pixel(x, y))
                                top = qMin(top, y), bottom = qMax(bottom, y);
                    return std::pair(top, bottom);
                };
                FBar->setCaption(QString());
                const QImage empty = paint(*FBar, ratio);
                FBar->setCaption(text);
                const QImage drawn = paint(*FBar, ratio);
                QImage alone = empty.copy();
                QPainter painter(&alone);
                painter.setFont(font);
                painter.setPen(Qt::black);
                const QPoint origin = FBar->TextOrigin();
                painter.drawText(origin + QPoint(0, QFontMetrics(font).ascent()), text);
                painter.end();
                QCOMPARE(inkRows(drawn, empty), inkRows(alone, empty));
            }
        }
        QCOMPARE(FBar->TextOrigin(), QPoint(10, 2)); // flat: room enough above
        FBar->setFont(PixelFont(QStringLiteral("Times New Roman"), 13, false));
        FBar->setSkinBitmap(plainSkin);
        QCOMPARE(FBar->TextOrigin(), QPoint(12, 1));
    }

    void cursorAndResize() {
        QTest::mouseMove(FBar, QPoint(698, 10));
        QCOMPARE(FBar->cursor().shape(), Qt::ArrowCursor);
        QTest::mouseMove(FBar, QPoint(699, 10));
        QCOMPARE(FBar->cursor().shape(), Qt::SizeFDiagCursor);
        QTest::mouseMove(FBar, QPoint(300, 10));
        QCOMPARE(FBar->cursor().shape(), Qt::ArrowCursor);

        // From the middle of the text, not only from the grip.
        const QPoint place = FOwner->pos();
        QTest::mousePress(FBar, Qt::LeftButton, {}, QPoint(300, 10));
        QTest::mouseMove(FBar, QPoint(310, 15));
        QCOMPARE(FOwner->size(), QSize(728, 495));
        QCOMPARE(FOwner->pos(), place);
        QTest::mouseMove(FBar, QPoint(-2000, -2000));
        QCOMPARE(FOwner->size(), TFormStatusbar::MinimumOwnerSize);
        QTest::mouseRelease(FBar, Qt::LeftButton, {}, QPoint(-2000, -2000));
        // The right button only records the press.
        QTest::mousePress(FBar, Qt::RightButton, {}, QPoint(100, 10));
        QTest::mouseMove(FBar, QPoint(150, 10));
        QCOMPARE(FOwner->size(), TFormStatusbar::MinimumOwnerSize);
    }

    void ownerMustBeAWindow() {
        QWidget child(FOwner.get());
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, TFormStatusbar{&child});
    }
};

QTEST_MAIN(TestFormStatusbar)
#include "test_formstatusbar.moc"
