// SPDX-License-Identifier: GPL-2.0-or-later
#include "RoundButton.h"

#include "DrawTools.h"
#include "SkinPalette.h"

#include <cstdlib>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

namespace quillet {

TRoundButton::TRoundButton(QWidget* parent)
    : QWidget(parent), FColor(skin::AccentOrange), FBorderColor(skin::DarkOrangeOutline),
      FBorderWidth(1), FBorderRadius(17) {
    resize(90, 25);
}

void TRoundButton::setCaption(const QString& caption) {
    if (caption == FCaption)
        return;
    FCaption = caption;
    repaint();
}

void TRoundButton::setColor(quint32 color) {
    FColor = color;
    update();
}

void TRoundButton::setBorderColor(quint32 color) {
    FBorderColor = color;
    update();
}

void TRoundButton::setBorderWidth(int width) {
    FBorderWidth = width;
    update();
}

void TRoundButton::setBorderRadius(int radius) {
    FBorderRadius = radius;
    update();
}

void TRoundButton::setFontColor(quint32 color) {
    QPalette p = palette();
    p.setColor(QPalette::WindowText, PlatformColor(color));
    setPalette(p);
}

QPoint TRoundButton::CaptionOrigin(QSize button, QSize text) {
    return QPoint(std::abs(RoundHalfEven((button.width() - 1 - text.width()) / 2.0)),
                  std::abs(RoundHalfEven((button.height() - 1 - text.height()) / 2.0)));
}

void TRoundButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect r = RectLTRB(1, 1, width() - 1, height() - 1);

    painter.setBrush(PlatformColor(FHovered ? FOverColor : FColor));
    QPen pen(PlatformColor(FBorderColor));
    pen.setWidth(FBorderWidth);
    painter.setPen(FBorderWidth > 0 ? pen : QPen(Qt::NoPen));
    painter.setRenderHint(QPainter::Antialiasing);
    // The outline runs through the centres of the edge pixels of r, as a 1-pixel pen does
    // on the classic canvas; the radius is half the corner ellipse.
    const QRectF outline = QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.drawRoundedRect(outline, FBorderRadius / 2.0, FBorderRadius / 2.0);
    painter.setRenderHint(QPainter::Antialiasing, false);

    painter.setFont(font());
    painter.setPen(palette().color(QPalette::WindowText));
    painter.setBrush(Qt::NoBrush);
    const QSize text(WideTextWidth(painter, FCaption), painter.fontMetrics().height());
    const QPoint origin = CaptionOrigin(size(), text);
    WideTextRect(painter, r, origin.x(), origin.y(), FCaption);
}

void TRoundButton::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    SetHovered(true);
}

void TRoundButton::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    SetHovered(false);
}

void TRoundButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        FPressed = true;
    QWidget::mousePressEvent(event);
}

void TRoundButton::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = FPressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        FPressed = false;
    QWidget::mouseReleaseEvent(event);
    // The click may open a modal window or even destroy the button.
    const QPointer<TRoundButton> self(this);
    if (click)
        emit OnClick();
    if (!self)
        return;
    // The button looks normal after a click even with the pointer still over it; it turns
    // to the hover fill again only when the pointer comes back in.
    SetHovered(false);
}

void TRoundButton::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange)
        update();
}

void TRoundButton::SetHovered(bool hovered) {
    FHovered = hovered;
    update();
}

} // namespace quillet
