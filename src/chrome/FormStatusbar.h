// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QWidget>

namespace quillet {

// `TFormStatusbar`: the status line of a frameless window: one line of text in a sunken
// panel with a slanted right end and a size grip. The panel is stamped from the status
// skin (left end, 4-pixel middle slices, right end with the grip) when a skin is set and
// FlatSkin is off, and drawn flat otherwise. Dragging the bar with the left button
// resizes the owner window (from anywhere on the bar; the sizing cursor shows over the
// grip end). The owner places the bar (the main window docks it to its bottom, height 28).
//
// UI thread only.
class TFormStatusbar : public QWidget {
    Q_OBJECT
public:
    // The owner window is never made smaller than this by a drag.
    static constexpr QSize MinimumOwnerSize{200, 100};

    // `owner` must be a top-level window; anything else throws std::invalid_argument
    // with "Owner must be a TForm!" before the bar exists.
    explicit TFormStatusbar(QWidget* owner);

    QString Caption() const { return FCaption; }
    // Repaints the text area at once (the panel under it included, so the look matches a
    // full repaint).
    void setCaption(const QString& caption);
    QColor Color() const { return FColor; }
    void setColor(QColor color);
    // Only family and size are used: the text is always regular and black.
    QFont Font() const { return FFont; }
    void setFont(const QFont& font);
    QWidget* OwnerForm() const { return FOwnerForm; }
    QImage SkinBitmap() const { return FSkinBitmap; }
    void setSkinBitmap(const QImage& image);
    // On: the flat panel is drawn even when a skin is set (the skin is kept).
    bool FlatSkin() const { return FFlatSkin; }
    void setFlatSkin(bool flat);

    // The geometry the next paint uses, for the owner and the tests.
    bool Skinned() const { return !FFlatSkin && !FSkinBitmap.isNull(); }
    // Top left of the text line: (12, 1) skinned, (10, 2) flat, lower where the font's
    // glyphs would otherwise reach above TextClip.
    QPoint TextOrigin() const;
    QRect TextClip() const;
    // The grip dots of the flat panel, in drawing order (the skin brings its own grip).
    QList<QPoint> GripDots() const;
    // Pointer columns beyond this show the sizing cursor.
    int GripCursorStart() const { return width() - 20; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void PaintSkinned(QPainter& painter);
    void PaintFlat(QPainter& painter);
    void DrawCaption(QPainter& painter);
    // Font's family and size, regular: what the text is drawn in.
    QFont TextFont() const;

    QString FCaption;
    QColor FColor;
    QFont FFont;
    QPointer<QWidget> FOwnerForm;
    QImage FSkinBitmap;
    bool FFlatSkin = false;
    int DownX = 0, DownY = 0;
    QPoint FDownGlobal;
    QSize FDownOwnerSize;
    bool Resizing = false;
    bool FSystemResizeStarted = false;
};

} // namespace quillet
