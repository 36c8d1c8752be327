// SPDX-License-Identifier: GPL-2.0-or-later
#include "DrawTools.h"

#include "SkinPalette.h"

#include <cmath>
#include <limits>
#include <QBrush>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPalette>
#include <QWidget>
#include <stdexcept>
#include <utility>

namespace quillet {
namespace {

// Colour tables written for the original platform may name a system colour instead of an
// RGB value (high byte 0x80, low byte the system colour index). The nearest palette role
// stands in for it so such values never come out as a random dark colour.
QColor systemColor(quint32 index) {
    const QPalette palette = qGuiApp ? QGuiApplication::palette() : QPalette();
    switch (index) {
    case 5: // window
        return palette.color(QPalette::Base);
    case 6:  // window frame
    case 16: // button shadow
        return palette.color(QPalette::Dark);
    case 8: // window text
        return palette.color(QPalette::Text);
    case 13: // highlight
        return palette.color(QPalette::Highlight);
    case 14: // highlighted text
        return palette.color(QPalette::HighlightedText);
    case 17: // disabled text
        return palette.color(QPalette::Disabled, QPalette::Text);
    case 18: // button text
        return palette.color(QPalette::ButtonText);
    case 20: // button highlight
        return palette.color(QPalette::Light);
    case 23: // tooltip text
        return palette.color(QPalette::ToolTipText);
    case 24: // tooltip background
        return palette.color(QPalette::ToolTipBase);
    default: // menus, caption and button faces
        return palette.color(QPalette::Button);
    }
}

// round(from + (to - from) * i / n), halves to even, in exact integer arithmetic so that
// a true half can never be mistaken for a near-half.
} // namespace

QPalette SkinPalette(QPalette base) {
    // Qt derives a whole light palette from a light button face and window colour.
    const QPalette light(PlatformColor(skin::ButtonFace), PlatformColor(skin::WindowBackground));
    for (const QPalette::ColorGroup group :
         {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        for (const QPalette::ColorRole role :
             {QPalette::Window, QPalette::WindowText, QPalette::Base, QPalette::AlternateBase,
              QPalette::Text, QPalette::PlaceholderText, QPalette::Button, QPalette::ButtonText,
              QPalette::BrightText, QPalette::Light, QPalette::Midlight, QPalette::Mid,
              QPalette::Dark, QPalette::Shadow})
            base.setBrush(group, role, light.brush(group, role));
    }
    return base;
}

namespace {

int blendChannel(int from, int to, qint64 i, qint64 n) {
    const qint64 num = qint64(from) * n + qint64(to - from) * i;
    qint64 q = num / n;
    qint64 r = num % n;
    if (r < 0) {
        --q;
        r += n;
    }
    if (2 * r > n || (2 * r == n && (q & 1)))
        ++q;
    return int(q);
}

// The leftmost pixel of every row of an ellipse rasterised into a w x h box (w, h >= 2),
// by Zingl's midpoint algorithm for an ellipse given by its bounding box. Integer error
// terms only, so the shape is the same everywhere.
QList<int> ellipseRowInsets(int w, int h) {
    QList<int> inset(h, w);
    const auto mark = [&](qint64 x, qint64 y) {
        if (y >= 0 && y < h && x < inset[y])
            inset[y] = int(x);
    };
    const qint64 a = w - 1, b = h - 1, b1 = b & 1;
    qint64 dx = 4 * (1 - a) * b * b, dy = 4 * (b1 + 1) * a * a;
    qint64 err = dx + dy + b1 * a * a;
    qint64 x0 = 0, x1 = a;
    qint64 y0 = (b + 1) / 2, y1 = y0 - b1;
    const qint64 stepY = 8 * a * a, stepX = 8 * b * b;
    do {
        mark(x0, y0);
        mark(x0, y1);
        const qint64 e2 = 2 * err;
        if (e2 <= dy) {
            ++y0;
            --y1;
            dy += stepY;
            err += dy;
        }
        if (e2 >= dx || 2 * err > dy) {
            ++x0;
            --x1;
            dx += stepX;
            err += dx;
        }
    } while (x0 <= x1);
    while (y0 - y1 < b) { // very flat ellipses stop early: finish their tips
        mark(x0 - 1, y0++);
        mark(x0 - 1, y1--);
    }
    return inset;
}

} // namespace

QColor PlatformColor(quint32 bbggrr) {
    if ((bbggrr & 0xFF000000u) == 0x80000000u)
        return systemColor(bbggrr & 0xFFu);
    return QColor(int(bbggrr & 0xFF), int((bbggrr >> 8) & 0xFF), int((bbggrr >> 16) & 0xFF));
}

QFont PixelFont(const QString& family, int pixels, bool bold) {
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QWidget* OwnerWindow(QWidget* owner) {
    if (!owner || !owner->isWindow())
        throw std::invalid_argument("Owner must be a TForm!");
    return owner;
}

int RoundHalfEven(double value) {
    if (!std::isfinite(value))
        return 0;
    constexpr double lo = std::numeric_limits<int>::min();
    constexpr double hi = std::numeric_limits<int>::max();
    if (value <= lo)
        return std::numeric_limits<int>::min();
    if (value >= hi)
        return std::numeric_limits<int>::max();
    const double floor = std::floor(value);
    const double frac = value - floor;
    int result = int(floor);
    if (frac > 0.5 || (frac == 0.5 && (result & 1)))
        ++result;
    return result;
}

void GradientFill(QPainter& painter, QColor from, QColor to, bool horizontal, const QRect& rect) {
    // QRect keeps right/bottom inclusive; work on exclusive edges like the callers do.
    const qint64 left = rect.left(), top = rect.top();
    const qint64 right = qint64(rect.right()) + 1, bottom = qint64(rect.bottom()) + 1;
    const qint64 n = horizontal ? right - left : bottom - top;
    if (right <= left || bottom <= top)
        return;
    const QColor a = from.toRgb(), b = to.toRgb();
    for (qint64 i = 1; i <= n; ++i) {
        const QColor color(blendChannel(a.red(), b.red(), i, n),
                           blendChannel(a.green(), b.green(), i, n),
                           blendChannel(a.blue(), b.blue(), i, n));
        const int line = int((horizontal ? left : top) + i - 1);
        const QRect strip = horizontal ? RectLTRB(line, int(top), line + 1, int(bottom))
                                       : RectLTRB(int(left), line, int(right), line + 1);
        painter.fillRect(strip, color);
    }
}

int WideTextWidth(const QPainter& painter, const QString& text) {
    // The painter's own metrics follow its device's resolution, which is what drawing uses.
    return painter.isActive() ? painter.fontMetrics().horizontalAdvance(text)
                              : QFontMetrics(painter.font()).horizontalAdvance(text);
}

void WideTextRect(QPainter& painter, const QRect& clip, int x, int y, const QString& text) {
    if (text.isEmpty() || clip.isEmpty())
        return;
    const QFontMetrics metrics = painter.fontMetrics();
    painter.save();
    painter.setClipRect(clip, painter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    if (painter.brush().style() == Qt::SolidPattern)
        painter.fillRect(QRect(x, y, metrics.horizontalAdvance(text), metrics.height()),
                         painter.brush().color());
    painter.drawText(QPoint(x, y + metrics.ascent()), text);
    painter.restore();
}

void DrawGripDot(QPainter& painter, int x, int y) {
    painter.setBrush(PlatformColor(0x00FFFFFF));
    painter.fillRect(RectLTRB(x + 1, y + 1, x + 3, y + 3), painter.brush());
    painter.setBrush(PlatformColor(0x00808080));
    painter.fillRect(RectLTRB(x, y, x + 2, y + 2), painter.brush());
}

QList<int> RoundRectRowInsets(int width, int height, int ellipseWidth, int ellipseHeight) {
    if (width <= 0 || height <= 0)
        return {};
    QList<int> insets(height, 0);
    const int ew = qMin(width, qAbs(ellipseWidth));
    const int eh = qMin(height, qAbs(ellipseHeight));
    if (ew < 2 || eh < 2)
        return insets;
    const QList<int> corner = ellipseRowInsets(ew, eh);
    for (int y = 0; y < eh / 2; ++y)
        insets[y] = corner[y];
    for (int y = height - eh / 2; y < height; ++y)
        insets[y] = corner[y - (height - eh)];
    return insets;
}

QRegion RoundRectShape(const QRect& rect, int ellipseWidth, int ellipseHeight) {
    const QRect area = rect.normalized();
    const QList<int> insets =
        RoundRectRowInsets(area.width(), area.height(), ellipseWidth, ellipseHeight);
    // Rows with the same indent become one band; bands are disjoint and sorted, which is
    // what QRegion::setRects expects.
    QList<QRect> bands;
    for (int y = 0; y < insets.size();) {
        int end = y + 1;
        while (end < insets.size() && insets[end] == insets[y])
            ++end;
        const int inset = insets[y];
        if (2 * inset < area.width())
            bands.append(RectLTRB(area.left() + inset, area.top() + y,
                                  area.left() + area.width() - inset, area.top() + end));
        y = end;
    }
    QRegion region;
    region.setRects(bands.constData(), int(bands.size()));
    return region;
}

QRegion RoundRectRgn(int left, int top, int right, int bottom, int ellipseWidth,
                     int ellipseHeight) {
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
    if (right - left < 2 || bottom - top < 2)
        return QRegion();
    return RoundRectShape(RectLTRB(left, top, right - 1, bottom - 1), ellipseWidth, ellipseHeight);
}

void FillRoundRect(QPainter& painter, const QRect& rect, int ellipseWidth, int ellipseHeight,
                   QColor fill, QColor pen, int penWidth) {
    if (rect.isEmpty())
        return;
    const QRegion shape = RoundRectShape(rect, ellipseWidth, ellipseHeight);
    if (penWidth <= 0 || !pen.isValid()) {
        if (fill.isValid())
            for (const QRect& band : shape)
                painter.fillRect(band, fill);
        return;
    }
    const QRect innerRect = rect.adjusted(penWidth, penWidth, -penWidth, -penWidth);
    const QRegion inner =
        innerRect.isEmpty()
            ? QRegion()
            : RoundRectShape(innerRect, ellipseWidth - 2 * penWidth, ellipseHeight - 2 * penWidth);
    if (fill.isValid())
        for (const QRect& band : inner)
            painter.fillRect(band, fill);
    for (const QRect& band : shape.subtracted(inner))
        painter.fillRect(band, pen);
}

void DrawLineTo(QPainter& painter, QPoint from, QPoint to, QColor color, int width) {
    width = qMax(1, width);
    const int back = (width - 1) / 2;
    int x = from.x(), y = from.y();
    const int dx = qAbs(to.x() - x), sx = x < to.x() ? 1 : -1;
    const int dy = -qAbs(to.y() - y), sy = y < to.y() ? 1 : -1;
    int err = dx + dy;
    while (x != to.x() || y != to.y()) {
        painter.fillRect(QRect(x - back, y - back, width, width), color);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void CopyImageRect(QPainter& painter, const QImage& image, const QRect& source,
                   const QRect& target) {
    if (image.isNull() || source.isEmpty() || target.isEmpty())
        return;
    const QRect bounds(QPoint(0, 0), image.deviceIndependentSize().toSize());
    const QRect cut = source & bounds;
    if (cut.isEmpty())
        return;
    const double sx = double(target.width()) / source.width();
    const double sy = double(target.height()) / source.height();
    const QRectF to(target.left() + (cut.left() - source.left()) * sx,
                    target.top() + (cut.top() - source.top()) * sy, cut.width() * sx,
                    cut.height() * sy);
    const qreal ratio = image.devicePixelRatio();
    const QRectF from(cut.left() * ratio, cut.top() * ratio, cut.width() * ratio,
                      cut.height() * ratio);
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(to, image, from);
    painter.restore();
}

void SetRoundWindowRegion(QWidget& window, int radius) {
    const QRegion region = RoundRectRgn(0, 0, window.width(), window.height(), radius, radius);
    if (region.isEmpty())
        window.clearMask();
    else
        window.setMask(region);
}

void PaintFlatFrame(QPainter& painter, QSize size, int radius, QColor color) {
    const int w = size.width(), h = size.height();
    FillRoundRect(painter, RectLTRB(0, 0, w - 1, h - 1), radius, radius, PlatformColor(skin::White),
                  PlatformColor(skin::Black), 2);
    FillRoundRect(painter, RectLTRB(1, 1, w - 2, h - 2), radius, radius, color,
                  PlatformColor(skin::White), 1);
}

void PaintSkinFrame(QPainter& painter, QSize size, int radius, QColor color, const QImage& skin) {
    const int w = size.width(), h = size.height(), r = radius;
    FillRoundRect(painter, RectLTRB(1, 1, w - 2, h - 2), r, r, color, QColor(), 0);
    if (skin.isNull() || w <= 0 || h <= 0)
        return;
    const QSize skinSize = skin.deviceIndependentSize().toSize();
    const int wb = skinSize.width(), hb = skinSize.height();
    // Edges: two-pixel slices taken just inside the corners, stamped every 2 pixels.
    int x = r - 1;
    do {
        CopyImageRect(painter, skin, RectLTRB(r, 0, r + 2, 5), RectLTRB(x, 0, x + 2, 5));
        CopyImageRect(painter, skin, RectLTRB(r, hb - 4, r + 2, hb),
                      RectLTRB(x, h - 5, x + 4, h - 1));
        x += 2;
    } while (x <= w - r);
    int y = r - 1;
    do {
        CopyImageRect(painter, skin, RectLTRB(0, r, 3, r + 2), RectLTRB(0, y, 3, y + 2));
        CopyImageRect(painter, skin, RectLTRB(wb - 4, r, wb, r + 2),
                      RectLTRB(w - 5, y, w - 1, y + 4));
        y += 2;
    } while (y <= h - r);
    // Corners whole. The bottom ones are taken one row lower than the skin reaches; cut
    // to the skin, they end one row above the window's last row, which the window's
    // rounded outline leaves out anyway.
    CopyImageRect(painter, skin, RectLTRB(0, 0, r - 1, r - 1), RectLTRB(0, 0, r - 1, r - 1));
    CopyImageRect(painter, skin, RectLTRB(wb - r, 0, wb, r - 1),
                  RectLTRB(w - r - 1, 0, w - 1, r - 1));
    CopyImageRect(painter, skin, RectLTRB(0, hb - r + 1, r, hb + 1), RectLTRB(0, h - r, r, h));
    CopyImageRect(painter, skin, RectLTRB(wb - r - 1, hb - r + 1, wb - 1, hb + 1),
                  RectLTRB(w - r - 1, h - r, w - 1, h));
}

QRect StatusPanelRect(const QWidget& statusBar, const QList<int>& panelWidths, int index) {
    if (index < 0 || index >= panelWidths.size())
        return QRect();
    int left = 0, right = 0;
    for (int i = 0; i <= index; ++i) {
        left = i == 0 ? 0 : right + 2;
        right += qMax(0, panelWidths[i]);
    }
    if (index == panelWidths.size() - 1)
        right = statusBar.width();
    return RectLTRB(left, 2, qMax(left, right), qMax(2, statusBar.height()));
}

bool PlaceProgressInStatusPanel(QWidget& progress, QWidget& statusBar,
                                const QList<int>& panelWidths, int index) {
    if (index < 0 || index >= panelWidths.size())
        return false;
    if (progress.parentWidget() != &statusBar) {
        // Reparenting hides a widget; keep it shown unless its owner hid it on purpose.
        const bool hiddenOnPurpose =
            progress.isHidden() && progress.testAttribute(Qt::WA_WState_ExplicitShowHide);
        progress.setParent(&statusBar);
        progress.setVisible(!hiddenOnPurpose);
    }
    progress.setGeometry(StatusPanelRect(statusBar, panelWidths, index));
    return true;
}

} // namespace quillet
