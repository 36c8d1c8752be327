// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QWidget>

class QPainter;

// `TPaintBoxEx`: a surface that paints nothing of its own. On every paint it prepares a
// painter with its font, font colour (the pen) and `Color` (the brush) and hands it to
// `OnPaint`; it also reports the pointer entering and leaving it, which the main window
// uses for the banner's hover look. Without handlers it is an inert box. UI thread only.
namespace quillet {

class TPaintBoxEx : public QWidget {
    Q_OBJECT
public:
    explicit TPaintBoxEx(QWidget* parent = nullptr);

    // The brush the painter starts with: the parent's background until set. 0x00BBGGRR.
    QColor Color() const;
    void setColor(quint32 color);
    // The pen the painter starts with, that is the colour of drawn text.
    void setFontColor(quint32 color);

signals:
    void OnPaint(QPainter& canvas);
    void OnMouseEnter();
    void OnMouseLeave();
    // Press and release of the left button inside the box.
    void OnClick();
    void OnDblClick();
    void OnMouseDown(QMouseEvent* event);
    void OnMouseMove(QMouseEvent* event);
    void OnMouseUp(QMouseEvent* event);

protected:
    // The points where enter and leave are reported; subclasses may add to them.
    virtual void DoMouseEnter();
    virtual void DoMouseLeave();

    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    bool FPressed = false;
};

} // namespace quillet
