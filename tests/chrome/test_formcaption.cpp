// SPDX-License-Identifier: GPL-2.0-or-later
// The caption bar: button layout, painting, the hover and press states, the button
// actions and dragging the window by the strip.
#include "DrawTools.h"
#include "FormCaption.h"
#include "SkinPalette.h"

#include <QMenu>
#include <QSignalSpy>
#include <QtTest>

using namespace quillet;

class TestFormCaption : public QObject {
    Q_OBJECT

    static constexpr Qt::WindowFlags kAllButtons =
        Qt::Window | Qt::FramelessWindowHint | Qt::WindowContextHelpButtonHint |
        Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint;

    std::unique_ptr<QWidget> FOwner;
    TFormCaption* FBar = nullptr;

    static QImage paint(QWidget& widget, qreal ratio = 1) {
        QImage image((widget.size() * ratio), QImage::Format_RGB32);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::magenta);
        widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        return image;
    }
    static QColor orange() { return PlatformColor(skin::AccentOrange); }
    static QColor outline() { return PlatformColor(skin::DarkOrangeOutline); }
    static QColor background() { return PlatformColor(skin::WindowBackground); }

private slots:
    void init() {
        FOwner = std::make_unique<QWidget>(nullptr, kAllButtons);
        FOwner->setGeometry(100, 100, 718, 490);
        FBar = new TFormCaption(FOwner.get());
        FOwner->show();
        QVERIFY(QTest::qWaitForWindowExposed(FOwner.get()));
    }
    void cleanup() { FOwner.reset(); }

    void layout() {
        QCOMPARE(FBar->geometry(), QRect(0, 0, 718, 29));
        QCOMPARE(FBar->ButtonAreaWidth(), 102);
        QCOMPARE(FBar->TitleRect(), RectLTRB(7, 7, 609, 29));
        const QList<int> lefts{618, 648, 670, 692};
        for (int i = 0; i < 4; ++i)
            QCOMPARE(FBar->ButtonRect(TFormCaption::Button(i)),
                     RectLTRB(lefts[i], 11, lefts[i] + 14, 25));
        FOwner->resize(500, 300); // docked: follows the owner's width
        QCOMPARE(FBar->geometry(), QRect(0, 0, 500, 29));

        QWidget closeOnly(nullptr, Qt::Window | Qt::FramelessWindowHint);
        closeOnly.resize(300, 100);
        TFormCaption* bar = new TFormCaption(&closeOnly);
        QCOMPARE(bar->ButtonAreaWidth(), 40);
        QCOMPARE(bar->TitleRect().right() + 1, 300 - 47);
        QCOMPARE(bar->State(TFormCaption::HelpButton), TFormCaption::cbsAbsent);
        QCOMPARE(bar->State(TFormCaption::MaximizeButton), TFormCaption::cbsAbsent);
        QCOMPARE(bar->ButtonRect(TFormCaption::CloseButton), RectLTRB(274, 11, 288, 25));

        QWidget child(&closeOnly);
        try {
            TFormCaption wrong(&child);
            QFAIL("a child widget was accepted as owner");
        } catch (const std::invalid_argument& error) {
            QCOMPARE(QString::fromLatin1(error.what()), QStringLiteral("Owner must be a TForm!"));
        }
    }

    // The strip, its outline and rounded corner, the button pads; also at device ratio 2.
    void painting() {
        for (const qreal ratio : {1.0, 2.0}) {
            const QImage image = paint(*FBar, ratio);
            const auto at = [&](int x, int y) {
                return image.pixelColor(int(x * ratio), int(y * ratio));
            };
            QCOMPARE(at(300, 20), orange());
            QCOMPARE(at(7, 20), outline());
            QCOMPARE(at(608, 20), outline());
            QCOMPARE(at(300, 7), outline());
            QCOMPARE(at(7, 7), QColor(Qt::magenta)); // the 3 x 3 corner is cut
            QCOMPARE(at(609, 20), QColor(Qt::magenta));
            QCOMPARE(at(651, 13), background());      // normal pad
            QCOMPARE(at(651, 22), QColor(Qt::black)); // minimise glyph
            QCOMPARE(at(672, 12), QColor(Qt::black)); // maximise: top bar
            QCOMPARE(at(675, 21), background());      // ... and not the bottom one
            QCOMPARE(at(640, 18), QColor(Qt::black)); // help separator at Right + 8
        }
    }

    void icon() {
        // 17 wide, its last column blue: scaled into 16 columns, nothing reaches x = 26.
        QImage wide(17, 16, QImage::Format_RGB32);
        wide.fill(Qt::green);
        for (int y = 0; y < 16; ++y)
            wide.setPixelColor(16, y, Qt::blue);
        FBar->setIconBitmap(wide);
        QImage image = paint(*FBar);
        QCOMPARE(image.pixelColor(10, 12), QColor(Qt::green));
        QCOMPARE(image.pixelColor(25, 12), QColor(Qt::blue));
        QVERIFY(image.pixelColor(26, 12) != QColor(Qt::blue));
        // 16 x 16 is drawn as it is.
        QImage exact(16, 16, QImage::Format_RGB32);
        exact.fill(Qt::green);
        exact.setPixelColor(15, 15, Qt::blue);
        FBar->setIconBitmap(exact);
        image = paint(*FBar);
        QCOMPARE(image.pixelColor(25, 25), QColor(Qt::blue));
        QCOMPARE(image.pixelColor(24, 25), QColor(Qt::green));
    }

    // Hover follows the pointer's column, a press shows pressed, moving turns it to hover,
    // leaving the bar sets everything back.
    void hoverAndPress() {
        QTest::mouseMove(FBar, QPoint(655, 2)); // rows do not matter
        QCOMPARE(FBar->State(TFormCaption::MinimizeButton), TFormCaption::cbsHover);
        QCOMPARE(FBar->State(TFormCaption::CloseButton), TFormCaption::cbsNormal);
        QCOMPARE(paint(*FBar).pixelColor(651, 13), orange());
        QTest::mousePress(FBar, Qt::LeftButton, {}, QPoint(662, 15)); // right edge included
        QCOMPARE(FBar->State(TFormCaption::MinimizeButton), TFormCaption::cbsPressed);
        QCOMPARE(paint(*FBar).pixelColor(651, 13), outline());
        QTest::mouseMove(FBar, QPoint(661, 15));
        QCOMPARE(FBar->State(TFormCaption::MinimizeButton), TFormCaption::cbsHover);
        QTest::mouseMove(FBar, QPoint(663, 15));
        QCOMPARE(FBar->State(TFormCaption::MinimizeButton), TFormCaption::cbsNormal);
        QTest::mousePress(FBar, Qt::RightButton, {}, QPoint(700, 15));
        QCOMPARE(FBar->State(TFormCaption::CloseButton), TFormCaption::cbsPressed);
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(FBar, &leave);
        QCOMPARE(FBar->State(TFormCaption::CloseButton), TFormCaption::cbsNormal);
        QCOMPARE(paint(*FBar).pixelColor(697, 13), background());
    }

    // The action is decided where the button is released, with any mouse button.
    void actions() {
        QSignalSpy close(FBar, &TFormCaption::closeClicked);
        QSignalSpy minimize(FBar, &TFormCaption::minimizeClicked);
        QSignalSpy maximize(FBar, &TFormCaption::maximizeClicked);
        QSignalSpy restore(FBar, &TFormCaption::restoreClicked);
        QSignalSpy help(FBar, &TFormCaption::helpClicked);
        QTest::mousePress(FBar, Qt::RightButton, {}, QPoint(300, 15));
        QTest::mouseRelease(FBar, Qt::RightButton, {}, QPoint(700, 15));
        QCOMPARE(close.count(), 1);
        QVERIFY(FOwner->isVisible()); // connected: the receiver decides
        QTest::mouseClick(FBar, Qt::LeftButton, {}, QPoint(650, 15));
        QCOMPARE(minimize.count(), 1);
        QCOMPARE(FBar->ShowState(), TFormCaption::ssMinimized);

        QTest::mouseClick(FBar, Qt::LeftButton, {}, QPoint(675, 15));
        QCOMPARE(maximize.count(), 1);
        QCOMPARE(FBar->ShowState(), TFormCaption::ssMaximized);
        QCOMPARE(paint(*FBar).pixelColor(675, 21), QColor(Qt::black)); // two bars
        QTest::mouseClick(FBar, Qt::LeftButton, {}, QPoint(675, 15));
        QCOMPARE(restore.count(), 1);
        QCOMPARE(FBar->ShowState(), TFormCaption::ssNormal);
        QVERIFY(paint(*FBar).pixelColor(675, 21) != QColor(Qt::black));

        QTest::mouseClick(FBar, Qt::LeftButton, {}, QPoint(620, 15));
        QCOMPARE(help.count(), 1);
        FOwner->move(0, 100); // room on the screen, so the menu is not shifted
        QMenu menu;
        menu.addAction(QStringLiteral("Info"));
        FBar->setPopupMenu(&menu);
        QTest::mouseClick(FBar, Qt::LeftButton, {}, QPoint(620, 15));
        QCOMPARE(help.count(), 1);
        QTRY_VERIFY(menu.isVisible());
        QCOMPARE(menu.pos(), FBar->mapToGlobal(QPoint(632, 11)));
        menu.close();
    }

    void closeWithoutReceiver() {
        QTest::mouseClick(FBar, Qt::LeftButton, {}, QPoint(692, 15));
        QVERIFY(!FOwner->isVisible());
    }

    // The title drags the window; the button area and double clicks do not move or maximise.
    void drag() {
        const QPoint start = FOwner->pos();
        QTest::mousePress(FBar, Qt::LeftButton, {}, QPoint(100, 15));
        QTest::mouseMove(FBar, QPoint(130, 25));
        QCOMPARE(FOwner->pos(), start + QPoint(30, 10));
        QTest::mouseRelease(FBar, Qt::LeftButton, {}, QPoint(100, 15));
        const QPoint moved = FOwner->pos();
        QTest::mousePress(FBar, Qt::LeftButton, {}, QPoint(616, 15));
        QTest::mouseMove(FBar, QPoint(640, 25));
        QTest::mouseRelease(FBar, Qt::LeftButton, {}, QPoint(640, 25));
        QCOMPARE(FOwner->pos(), moved);
        QTest::mouseDClick(FBar, Qt::LeftButton, {}, QPoint(100, 15));
        QCOMPARE(FBar->ShowState(), TFormCaption::ssNormal);
        QVERIFY(!FOwner->isMaximized());
    }
};

QTEST_MAIN(TestFormCaption)
#include "test_formcaption.moc"
