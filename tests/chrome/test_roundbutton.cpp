// SPDX-License-Identifier: GPL-2.0-or-later
// The round button: where its caption goes, its fills under the pointer and after a click.
#include "DrawTools.h"
#include "RoundButton.h"

#include <QEnterEvent>
#include <QSignalSpy>
#include <QtTest>

using namespace quillet;

class TestRoundButton : public QObject {
    Q_OBJECT

    // A pixel inside the outline, left of any centred caption.
    static QColor fill(TRoundButton& button) {
        return button.grab().toImage().pixelColor(4, button.height() / 2);
    }
    static void enter(TRoundButton& button) {
        QEnterEvent event(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QApplication::sendEvent(&button, &event);
    }
    static void leave(TRoundButton& button) {
        QEvent event(QEvent::Leave);
        QApplication::sendEvent(&button, &event);
    }

private slots:
    void captionOrigin_data() {
        QTest::addColumn<QSize>("button");
        QTest::addColumn<QSize>("text");
        QTest::addColumn<QPoint>("origin");
        // 126 - 90 = 36 -> 18; 24 - 13 = 11 -> 5.5 rounds to 6.
        QTest::newRow("dictionary info") << QSize(127, 25) << QSize(90, 13) << QPoint(18, 6);
        // (126 - 140) / 2 = -7: drawn from 7, cut at the right.
        QTest::newRow("too wide") << QSize(127, 25) << QSize(140, 13) << QPoint(7, 6);
        // 69 / 2 = 34.5 rounds to 34; (24 - 30) / 2 = -3.
        QTest::newRow("too tall") << QSize(90, 25) << QSize(20, 30) << QPoint(34, 3);
    }
    void captionOrigin() {
        QFETCH(QSize, button);
        QFETCH(QSize, text);
        QFETCH(QPoint, origin);
        QCOMPARE(TRoundButton::CaptionOrigin(button, text), origin);
    }

    void newButton() {
        TRoundButton button;
        QCOMPARE(button.size(), QSize(90, 25));
        QCOMPARE(button.Color(), 0x00068FF5u);
        QCOMPARE(button.BorderColor(), 0x00006FD5u);
        QCOMPARE(button.BorderWidth(), 1);
        QCOMPARE(button.BorderRadius(), 17);
        QVERIFY(!button.Hovered());
        // Nobody gave it an OverColor: black under the pointer.
        enter(button);
        QCOMPARE(fill(button), QColor(Qt::black));
    }

    void hoverAndClick() {
        QWidget parent;
        TRoundButton button(&parent);
        button.setGeometry(10, 10, 127, 25);
        button.setOverColor(0x00006FD5);
        button.setCaption(QStringLiteral("Wörterbuch Info"));
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));
        QSignalSpy clicks(&button, &TRoundButton::OnClick);

        QCOMPARE(fill(button), PlatformColor(0x00068FF5));
        enter(button);
        QVERIFY(button.Hovered());
        QCOMPARE(fill(button), PlatformColor(0x00006FD5));

        // After a click the normal fill shows although the pointer is still there.
        QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(60, 12));
        QCOMPARE(clicks.count(), 1);
        QVERIFY(!button.Hovered());
        QCOMPARE(fill(button), PlatformColor(0x00068FF5));
        leave(button);
        enter(button);
        QCOMPARE(fill(button), PlatformColor(0x00006FD5));

        // Press inside, release outside: no click. Other buttons never click.
        QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(60, 12));
        QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(200, 12));
        QTest::mouseClick(&button, Qt::RightButton, {}, QPoint(60, 12));
        QCOMPARE(clicks.count(), 1);
    }

    // A caption wider than the button is cut at the outline's inner rectangle.
    void captionClipped() {
        QWidget parent;
        parent.setAutoFillBackground(true);
        parent.setPalette(QPalette(Qt::white));
        TRoundButton button(&parent);
        button.setGeometry(0, 0, 60, 25);
        button.setFontColor(0x00000000);
        // A little wider than the button, so it starts right of the left edge.
        QString caption;
        while (QFontMetrics(button.font()).horizontalAdvance(caption) < 75)
            caption += u'W';
        button.setCaption(caption);
        const QImage image = button.grab().toImage();
        for (int y = 0; y < image.height(); ++y) {
            QVERIFY(image.pixelColor(0, y) != QColor(Qt::black));
            QVERIFY(image.pixelColor(59, y) != QColor(Qt::black));
        }
        int dark = 0;
        for (int x = 1; x < 59; ++x)
            dark += image.pixelColor(x, 12).lightness() < 60;
        QVERIFY(dark > 0);
    }
};

QTEST_MAIN(TestRoundButton)
#include "test_roundbutton.moc"
