// SPDX-License-Identifier: GPL-2.0-or-later
#include "PaintBoxEx.h"

#include "DrawTools.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

namespace quillet {

TPaintBoxEx::TPaintBoxEx(QWidget* parent) : QWidget(parent) {
    resize(105, 105);
}

QColor TPaintBoxEx::Color() const {
    return palette().color(QPalette::Window);
}

void TPaintBoxEx::setColor(quint32 color) {
    QPalette p = palette();
    p.setColor(QPalette::Window, PlatformColor(color));
    setPalette(p);
}

void TPaintBoxEx::setFontColor(quint32 color) {
    QPalette p = palette();
    p.setColor(QPalette::WindowText, PlatformColor(color));
    setPalette(p);
    update();
}

void TPaintBoxEx::DoMouseEnter() {
    emit OnMouseEnter();
}

void TPaintBoxEx::DoMouseLeave() {
    emit OnMouseLeave();
}

void TPaintBoxEx::paintEvent(QPaintEvent*) {
    QPainter canvas(this);
    canvas.setFont(font());
    canvas.setPen(palette().color(QPalette::WindowText));
    canvas.setBrush(Color());
    emit OnPaint(canvas);
}

void TPaintBoxEx::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    DoMouseEnter();
}

void TPaintBoxEx::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    DoMouseLeave();
}

void TPaintBoxEx::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        FPressed = true;
    emit OnMouseDown(event);
}

void TPaintBoxEx::mouseMoveEvent(QMouseEvent* event) {
    emit OnMouseMove(event);
}

void TPaintBoxEx::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = FPressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        FPressed = false;
    // A click handler may open a window that outlives this box's parent.
    const QPointer<TPaintBoxEx> self(this);
    if (click)
        emit OnClick();
    if (self)
        emit OnMouseUp(event);
}

void TPaintBoxEx::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click is a press like any other as well.
    mousePressEvent(event);
    if (event->button() == Qt::LeftButton)
        emit OnDblClick();
}

} // namespace quillet
