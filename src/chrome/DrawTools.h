// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QPalette>
#include <QRect>
#include <QRegion>
#include <QString>

class QWidget;

// Drawing helpers shared by the window chrome and the entry display. Rectangles follow the
// program's convention: left, top, right, bottom with right and bottom exclusive (build
// them with RectLTRB). Colours in the program's tables are 0x00BBGGRR values; PlatformColor
// turns them into QColor. UI thread only (they paint).
namespace quillet {

// 0x00BBGGRR -> QColor (red is the low byte). A system colour value (0x800000nn, nn the
// system colour index) maps to the nearest role of the application palette.
QColor PlatformColor(quint32 bbggrr);
// The palette of a skinned window: `base` with the skin's window colour and the light faces
// and fields and the black texts of a light desktop. Every text a skinned window and its
// controls draw with the palette then reads on the skin as designed, whatever the desktop's
// theme (a dark one would make the texts light on the skin's yellow). Highlight, link and
// tooltip colours stay those of `base`.
QPalette SkinPalette(QPalette base);

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

// A font of `family` whose size is given in pixels, as the window layouts give them.
QFont PixelFont(const QString& family, int pixels, bool bold = false);

// `owner` when it is a top-level window; the skinned bars dock to one and throw
// std::invalid_argument ("Owner must be a TForm!") for anything else.
QWidget* OwnerWindow(QWidget* owner);

// --- Rounded shapes, pixel-exact -------------------------------------------------------
// The program's rounded shapes are built row by row from a rasterised corner ellipse of
// `ellipseWidth` x `ellipseHeight` pixels (the ellipse's full size, not a radius), so
// the window outline, its frame and the caption bar's pads agree to the pixel on every
// platform. An ellipse smaller than 2 in either direction gives a plain rectangle; one
// larger than the shape is cut to the shape's size.

// How far row y (0 = top) of a width x height rounded shape is indented at each side:
// row y covers [inset[y], width - inset[y]). Empty for an empty shape.
QList<int> RoundRectRowInsets(int width, int height, int ellipseWidth, int ellipseHeight);

// The pixels of `rect` with rounded corners.
QRegion RoundRectShape(const QRect& rect, int ellipseWidth, int ellipseHeight);

// The region the platform's CreateRoundRectRgn(left, top, right, bottom, w, h) covers: it
// stops one pixel short of the given right and bottom edges, i.e. the shape of
// RectLTRB(left, top, right - 1, bottom - 1).
QRegion RoundRectRgn(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight);

// A rounded rectangle drawn like the platform's RoundRect(left, top, right, bottom): the
// shape of `rect` filled with `fill` (unless it is invalid: no fill), with an outline of
// `penWidth` pixels in `pen` along its inner edge (penWidth 0: no outline).
void FillRoundRect(QPainter& painter, const QRect& rect, int ellipseWidth, int ellipseHeight,
                   QColor fill, QColor pen, int penWidth);

// A line of `width` pixels from `from` towards `to`, the end point excluded (the platform's
// MoveTo/LineTo). Each pixel of the one-pixel line becomes a width x width square whose
// top-left corner lies (width - 1) / 2 up and left of it.
void DrawLineTo(QPainter& painter, QPoint from, QPoint to, QColor color, int width = 1);

// Copies `source` of `image` onto `target` (both in device-independent pixels), scaled
// when their sizes differ, without smoothing. The source is first cut to the image; the
// part of the target that the cut removes is left as it is.
void CopyImageRect(QPainter& painter, const QImage& image, const QRect& source,
                   const QRect& target);

// --- Window shape and frame ------------------------------------------------------------

// Gives the top-level `window` the rounded outline of RoundRectRgn(0, 0, width, height,
// radius, radius) as its mask. Call again after every resize. An empty window gets an
// empty mask cleared instead (a zero-sized mask would hide nothing anyway).
void SetRoundWindowRegion(QWidget& window, int radius);

// The flat frame of a `size` window: a black outer line and a white inner line along
// the rounded outline, `color` inside.
void PaintFlatFrame(QPainter& painter, QSize size, int radius, QColor color);

// The frame of a `size` window stamped from the frame skin: the interior filled with
// `color`, edges repeated from two-pixel slices just inside the skin's corners, the
// corners copied whole. A null skin paints the interior only.
void PaintSkinFrame(QPainter& painter, QSize size, int radius, QColor color, const QImage& skin);

// --- Status panels ---------------------------------------------------------------------

// The rectangle of panel `index` of a status bar split into panels of `panelWidths`
// from the left, laid out like the platform's status control: the panels start 2 pixels
// from the top and reach the bottom, 2 pixels apart, and the last panel reaches the
// bar's right edge. An index out of range gives an empty rectangle.
QRect StatusPanelRect(const QWidget& statusBar, const QList<int>& panelWidths, int index);

// Makes `progress` (a progress bar, or any widget to be shown in a panel) a child of
// `statusBar` covering panel `index` exactly. Call again after the status bar resizes.
// Returns false, changing nothing, when the index is out of range.
bool PlaceProgressInStatusPanel(QWidget& progress, QWidget& statusBar,
                                const QList<int>& panelWidths, int index);

} // namespace quillet
