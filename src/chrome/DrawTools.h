// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QColor>
#include <QPainter>
#include <QRect>
#include <QString>

// Drawing helpers shared by the window chrome and the entry display. Rectangles follow the
// program's convention: left, top, right, bottom with right and bottom exclusive (build
// them with RectLTRB). Colours in the program's tables are 0x00BBGGRR values; PlatformColor
// turns them into QColor. UI thread only (they paint).
namespace quillet {

// 0x00BBGGRR -> QColor (red is the low byte). A system colour value (0x800000nn, nn the
// system colour index) maps to the nearest role of the application palette.
QColor PlatformColor(quint32 bbggrr);
// A QRect from exclusive right/bottom edges.
inline QRect RectLTRB(int left, int top, int right, int bottom) {
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

// Fills `rect` line by line from `from` to `to`: columns when `horizontal`, else rows. Line
// i (from 1) gets from + (to - from) * i / n per channel, halves rounding to even, so the
// first line is one step from `from` and the last is exactly `to`. Empty rect: nothing.
void GradientFill(QPainter& painter, QColor from, QColor to, bool horizontal, const QRect& rect);

// Width in pixels of `text` in the painter's current font.
int WideTextWidth(const QPainter& painter, const QString& text);

// Draws `text` with its origin (left, top of the text cell) at (x, y), clipped to `clip`.
// The text cells get the painter's brush colour as background when the brush is solid,
// and stay transparent when the brush is Qt::NoBrush.
void WideTextRect(QPainter& painter, const QRect& clip, int x, int y, const QString& text);

// One embossed dot: white square (x+1, y+1)-(x+3, y+3), then grey 0x808080 square
// (x, y)-(x+2, y+2). The painter's brush stays grey afterwards.
void DrawGripDot(QPainter& painter, int x, int y);

// Rounds halves to the even neighbour, as the program's layout rules require.
int RoundHalfEven(double value);

} // namespace quillet
