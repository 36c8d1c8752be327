// SPDX-License-Identifier: GPL-2.0-or-later
#include "DrawTools.h"

#include <cmath>
#include <limits>
#include <QBrush>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPalette>

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

} // namespace

QColor PlatformColor(quint32 bbggrr) {
    if ((bbggrr & 0xFF000000u) == 0x80000000u)
        return systemColor(bbggrr & 0xFFu);
    return QColor(int(bbggrr & 0xFF), int((bbggrr >> 8) & 0xFF), int((bbggrr >> 16) & 0xFF));
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

} // namespace quillet
