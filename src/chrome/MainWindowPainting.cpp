// SPDX-License-Identifier: GPL-2.0-or-later
#include "MainWindowPainting.h"

#include "DrawTools.h"
#include "SkinPalette.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionTab>
#include <QStylePainter>

namespace quillet {
namespace {

// The handle of a splitter beside a panel aligned left, dragged as the window layout's
// splitter is: a line shows where the boundary will go and the panels change on release;
// the panel before the handle snaps closed when it would get narrower than kMinPanel, and
// the one after it keeps at least kMinPanel.
class TGripHandle : public QSplitterHandle {
public:
    using QSplitterHandle::QSplitterHandle;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), PlatformColor(skin::WindowBackground));
        painter.setPen(Qt::NoPen);
        for (const QPoint& dot : SplitterGripDots(height()))
            DrawGripDot(painter, dot.x(), dot.y());
    }
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton)
            return;
        FDragging = true;
        FOffset = event->position().toPoint().x();
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        if (FDragging)
            Splitter()->ShowDragLine(Snapped(PositionAt(event)));
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (!FDragging || event->button() != Qt::LeftButton)
            return;
        FDragging = false;
        Splitter()->ShowDragLine(-1);
        moveSplitter(Snapped(PositionAt(event)));
    }

private:
    TGripSplitter* Splitter() const { return static_cast<TGripSplitter*>(splitter()); }
    int PositionAt(QMouseEvent* event) const {
        return parentWidget()->mapFromGlobal(event->globalPosition().toPoint()).x() - FOffset;
    }
    // The handle's left edge for a drag to `pos`, between the neighbouring handles (or the
    // splitter's ends).
    int Snapped(int pos) const {
        const QSplitter* s = splitter();
        const int index = s->indexOf(const_cast<TGripHandle*>(this));
        const int start =
            index > 1 ? s->handle(index - 1)->geometry().right() + 1 : s->contentsRect().left();
        const int end = index + 1 < s->count() ? s->handle(index + 1)->geometry().left()
                                               : s->contentsRect().right() + 1;
        if (pos - start < TGripSplitter::kMinPanel)
            return start;
        return qMin(pos, end - width() - TGripSplitter::kMinPanel);
    }

    bool FDragging = false;
    int FOffset = 0; // where in the handle the press was
};

} // namespace

QList<QPoint> SplitterGripDots(int height) {
    const int y0 = RoundHalfEven(height / 2.0) - 5;
    QList<QPoint> dots;
    for (int row = 0; row < 4; ++row) {
        dots.append(QPoint(0, y0 + 6 * row));
        dots.append(QPoint(6, y0 + 6 * row));
    }
    return dots;
}

TGripSplitter::TGripSplitter(QWidget* parent) : QSplitter(Qt::Horizontal, parent) {
    setHandleWidth(11);
    setOpaqueResize(false);
}

void TGripSplitter::ShowDragLine(int pos) {
    setRubberBand(pos);
}

QSplitterHandle* TGripSplitter::createHandle() {
    return new TGripHandle(orientation(), this);
}

TFlagTabBar::TFlagTabBar(QWidget* parent) : QTabBar(parent) {
    setDrawBase(false);
    setExpanding(false);
}

void TFlagTabBar::SetFlags(int index, const QPixmap& active, const QPixmap& inactive) {
    if (index < 0)
        return;
    if (FActive.size() <= index) {
        FActive.resize(index + 1);
        FInactive.resize(index + 1);
    }
    FActive[index] = active;
    FInactive[index] = inactive;
    update();
}

QSize TFlagTabBar::tabSizeHint(int index) const {
    // Flag, gap and text, in the button-style tabs of the stored layout (121 x 25 for two).
    const int text = fontMetrics().horizontalAdvance(tabText(index));
    return QSize(qMax(60, 22 + text + 8), 25);
}

void TFlagTabBar::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    for (int index = 0; index < count(); ++index) {
        QStyleOptionTab option;
        initStyleOption(&option, index);
        const QRect r = option.rect;
        // The button face, without the style's own label: flag and text follow the
        // program's positions.
        QStyleOptionButton button;
        button.rect = r;
        button.palette = palette();
        button.state = QStyle::State_Enabled |
                       (index == currentIndex() ? QStyle::State_Sunken : QStyle::State_Raised);
        painter.drawPrimitive(QStyle::PE_PanelButtonBevel, button);
        const bool active = index == currentIndex();
        const QPixmap& flag = active ? FActive.value(index) : FInactive.value(index);
        if (!flag.isNull())
            painter.drawPixmap(r.left() + 2, r.top() + 3, flag);
        painter.setPen(palette().color(QPalette::ButtonText));
        painter.drawText(QRect(r.left() + 22, r.top() + 2, qMax(0, r.width() - 24), r.height() - 2),
                         Qt::AlignLeft | Qt::AlignTop, tabText(index));
    }
}

void PaintBanner(QPainter& painter, QSize box, const QString& text, bool hover,
                 const QPixmap& house) {
    const int width = box.width();
    const int height = box.height();
    const int tw = WideTextWidth(painter, text);
    painter.setBrush(Qt::NoBrush);
    WideTextRect(painter, RectLTRB(0, 0, width, height), width - tw - 5, 5, text);
    if (hover && !house.isNull())
        painter.drawPixmap(width - tw - 26, 5, house);
    const QColor background = PlatformColor(skin::WindowBackground);
    GradientFill(painter, background, PlatformColor(0x00A5F0FF), true,
                 RectLTRB(50, height - 1, width - 5, height));
    GradientFill(painter, background, PlatformColor(0x002590AF), true,
                 RectLTRB(50, height - 2, width - 5, height - 1));
}

} // namespace quillet
