// SPDX-License-Identifier: GPL-2.0-or-later
// The paint box: the painter it hands out, its pointer notifications, and that it paints
// nothing of its own.
#include "DrawTools.h"
#include "PaintBoxEx.h"

#include <QEnterEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QtTest>

using namespace quillet;

namespace {

// A box that counts its notification points as well, as a subclass may.
class TCountingBox : public TPaintBoxEx {
public:
    using TPaintBoxEx::TPaintBoxEx;
    int Enters = 0, Leaves = 0;

protected:
    void DoMouseEnter() override {
        ++Enters;
        TPaintBoxEx::DoMouseEnter();
    }
    void DoMouseLeave() override {
        ++Leaves;
        TPaintBoxEx::DoMouseLeave();
    }
};

} // namespace

class TestPaintBoxEx : public QObject {
    Q_OBJECT

private slots:
    void paintHandsOutPreparedPainter() {
        QWidget parent;
        TPaintBoxEx box(&parent);
        box.setGeometry(8, 34, 701, 25);
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(13);
        font.setBold(true);
        box.setFont(font);
        box.setFontColor(0x00000080);
        box.setColor(0x0065E0FF);

        QFont seenFont;
        QColor seenPen, seenBrush;
        connect(&box, &TPaintBoxEx::OnPaint, this, [&](QPainter& canvas) {
            seenFont = canvas.font();
            seenPen = canvas.pen().color();
            seenBrush = canvas.brush().color();
            // The banner's rule under its text, drawn through the painter it was given.
            GradientFill(canvas, PlatformColor(0x0065E0FF), PlatformColor(0x00A5F0FF), true,
                         RectLTRB(50, 24, 696, 25));
        });
        const QImage image = box.grab().toImage();
        QCOMPARE(seenFont.pixelSize(), 13);
        QVERIFY(seenFont.bold());
        QCOMPARE(seenPen, PlatformColor(0x00000080));
        QCOMPARE(seenBrush, PlatformColor(0x0065E0FF));
        QCOMPARE(image.pixelColor(695, 24), PlatformColor(0x00A5F0FF));
    }

    // Without handlers the box leaves its parent's surface as it was.
    void plainBoxPaintsNothing() {
        QWidget parent;
        parent.setAutoFillBackground(true);
        parent.setPalette(QPalette(Qt::red));
        parent.resize(50, 50);
        TPaintBoxEx box(&parent);
        box.setGeometry(5, 5, 40, 40);
        box.setColor(0x00FF0000);
        const QImage image = parent.grab().toImage();
        for (int y = 0; y < 50; y += 7)
            for (int x = 0; x < 50; x += 7)
                QCOMPARE(image.pixelColor(x, y), QColor(Qt::red));
    }

    void pointerNotifications() {
        TCountingBox box;
        QSignalSpy enters(&box, &TPaintBoxEx::OnMouseEnter);
        QSignalSpy leaves(&box, &TPaintBoxEx::OnMouseLeave);
        QSignalSpy clicks(&box, &TPaintBoxEx::OnClick);
        QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&box, &enter);
        QApplication::sendEvent(&box, &leave);
        QApplication::sendEvent(&box, &enter);
        QCOMPARE(enters.count(), 2);
        QCOMPARE(leaves.count(), 1);
        QCOMPARE(box.Enters, 2);
        QCOMPARE(box.Leaves, 1);

        QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(3, 3));
        QTest::mousePress(&box, Qt::LeftButton, {}, QPoint(3, 3));
        QTest::mouseRelease(&box, Qt::LeftButton, {}, QPoint(300, 3));
        QCOMPARE(clicks.count(), 1);
    }
};

QTEST_MAIN(TestPaintBoxEx)
#include "test_paintboxex.moc"
