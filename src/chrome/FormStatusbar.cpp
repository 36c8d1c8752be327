// SPDX-License-Identifier: GPL-2.0-or-later
#include "FormStatusbar.h"

#include "ChromeAccessible.h"
#include "DrawTools.h"
#include "SkinPalette.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace quillet {
namespace {

// Wayland does not let a program size its own windows from a drag; the compositor does.
bool windowSystemResizes() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace

TFormStatusbar::TFormStatusbar(QWidget* owner)
    : QWidget(OwnerWindow(owner)), FColor(PlatformColor(skin::AccentOrange)),
      FFont(PixelFont(QStringLiteral("Trebuchet MS"), 13, true)), // 10 pt at 96 dots per inch
      FOwnerForm(owner) {
    setMouseTracking(true); // the sizing cursor follows the pointer without a button held
}

void TFormStatusbar::setCaption(const QString& caption) {
    if (caption == FCaption)
        return;
    const QString before = FCaption;
    FCaption = caption;
    update(TextClip());
    NotifyPaintedTextChanged(this, before, FCaption);
}

void TFormStatusbar::setColor(QColor color) {
    FColor = color;
    update();
}

void TFormStatusbar::setFont(const QFont& font) {
    FFont = font;
    update();
}

void TFormStatusbar::setSkinBitmap(const QImage& image) {
    FSkinBitmap = image;
    update();
}

void TFormStatusbar::setFlatSkin(bool flat) {
    if (flat == FFlatSkin)
        return;
    FFlatSkin = flat;
    update();
}

QPoint TFormStatusbar::TextOrigin() const {
    // The origin is the top of the text line, and the clip's top lies below it. Where the
    // font's tallest lower-case glyphs (ascenders, umlaut dots) would rise above the clip,
    // the text moves down just so far that they show whole. Capitals with umlauts are left
    // out: moved down for their dots, the descenders of the shipped 13-pixel line would
    // run over the skin panel's lower border.
    const QPoint origin = Skinned() ? QPoint(12, 1) : QPoint(10, 2);
    const QFontMetrics metrics(TextFont(), this);
    const int inkTop = origin.y() + metrics.ascent() +
                       metrics.tightBoundingRect(QStringLiteral("bdfhklßäöü")).top();
    return origin + QPoint(0, qMax(0, TextClip().top() - inkTop));
}

QFont TFormStatusbar::TextFont() const {
    QFont font(FFont.family());
    if (FFont.pixelSize() > 0)
        font.setPixelSize(FFont.pixelSize());
    else
        font.setPointSizeF(FFont.pointSizeF());
    return font;
}

QRect TFormStatusbar::TextClip() const {
    const int w = width(), h = height();
    return Skinned() ? RectLTRB(12, 4, w - 42, h - 4) : RectLTRB(7, 3, w - 32, h - 8);
}

QList<QPoint> TFormStatusbar::GripDots() const {
    const int x0 = width() - 27, b = height() - 8;
    // 3-2-1 triangle, flush right: bottom row of three, two above, one on top.
    return {{x0 + 4, b},  {x0 + 10, b - 6}, {x0 + 16, b - 12},
            {x0 + 10, b}, {x0 + 16, b - 6}, {x0 + 16, b}};
}

void TFormStatusbar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (Skinned())
        PaintSkinned(painter);
    else
        PaintFlat(painter);
}

void TFormStatusbar::PaintSkinned(QPainter& painter) {
    const int w = width();
    const QSize skinSize = FSkinBitmap.deviceIndependentSize().toSize();
    const int wb = skinSize.width(), hb = skinSize.height();
    // Only the skin's height is painted; rows below it show the window underneath.
    int x = 12;
    do {
        CopyImageRect(painter, FSkinBitmap, RectLTRB(4, 0, 8, hb), RectLTRB(x, 0, x + 4, hb));
        x += 4;
    } while (x <= w - 34);
    CopyImageRect(painter, FSkinBitmap, RectLTRB(0, 0, 4, hb), RectLTRB(8, 0, 12, hb));
    CopyImageRect(painter, FSkinBitmap, RectLTRB(wb - 30, 0, wb, hb),
                  RectLTRB(w - 38, 0, w - 8, hb));
    DrawCaption(painter);
}

void TFormStatusbar::PaintFlat(QPainter& painter) {
    const int w = width(), h = height();
    const QColor grey = PlatformColor(skin::Grey), white = PlatformColor(skin::White);
    // Grey upper-left, white lower-right: a sunken panel with a slanted right end.
    const QPoint bottomLeft(6, h - 8), topLeft(6, 2), topRight(w - 32 + (h - 8), 2),
        bottomRight(w - 32, h - 8);
    DrawLineTo(painter, bottomLeft, topLeft, grey);
    DrawLineTo(painter, topLeft, topRight, grey);
    DrawLineTo(painter, topRight, bottomRight, white);
    DrawLineTo(painter, bottomRight, bottomLeft, white);
    painter.fillRect(RectLTRB(7, 3, w - 32, h - 8), FColor);
    DrawCaption(painter);
    for (const QPoint& dot : GripDots())
        DrawGripDot(painter, dot.x(), dot.y());
}

void TFormStatusbar::DrawCaption(QPainter& painter) {
    painter.setFont(TextFont());
    painter.setPen(PlatformColor(skin::Black));
    painter.setBrush(Qt::NoBrush);
    const QPoint origin = TextOrigin();
    WideTextRect(painter, TextClip(), origin.x(), origin.y(), FCaption);
}

void TFormStatusbar::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    DownX = p.x();
    DownY = p.y();
    FDownGlobal = event->globalPosition().toPoint();
    FDownOwnerSize = FOwnerForm ? FOwnerForm->size() : QSize();
    Resizing = false;
    FSystemResizeStarted = false;
}

void TFormStatusbar::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (p.x() > GripCursorStart())
        setCursor(Qt::SizeFDiagCursor);
    else if (cursor().shape() != Qt::ArrowCursor)
        unsetCursor();
    if (!(event->buttons() & Qt::LeftButton) || !FOwnerForm || Resizing)
        return;
    if (windowSystemResizes()) {
        if (!FSystemResizeStarted && FOwnerForm->windowHandle())
            FSystemResizeStarted =
                FOwnerForm->windowHandle()->startSystemResize(Qt::RightEdge | Qt::BottomEdge);
        return;
    }
    // The size follows the pointer's way since the press, measured on the screen: the
    // bar itself moves down with the window's bottom edge, so its own coordinates of the
    // pointer would lag behind while the window system catches up.
    Resizing = true;
    const QPoint moved = event->globalPosition().toPoint() - FDownGlobal;
    const QSize wanted(FDownOwnerSize.width() + moved.x(), FDownOwnerSize.height() + moved.y());
    FOwnerForm->resize(wanted.expandedTo(MinimumOwnerSize));
    FOwnerForm->update();
    DownX = p.x();
    Resizing = false;
}

void TFormStatusbar::leaveEvent(QEvent*) {
    unsetCursor();
}

} // namespace quillet
