// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QList>
#include <QPixmap>
#include <QPoint>
#include <QSplitter>
#include <QTabBar>

class QPainter;

// The custom-painted pieces of the main window: the splitter with its grip, the language
// tabs with their flags and the banner line above the panels. The main window creates
// them and feeds them its texts; they know nothing of dictionaries. UI thread only.
namespace quillet {

// The eight grip dots of a splitter `height` pixels high, in drawing order: two columns
// (x 0 and 6) of four rows 6 pixels apart, the first row at round(height / 2) - 5.
QList<QPoint> SplitterGripDots(int height);

// A splitter whose handles are painted in the window colour with the grip dots. A drag
// shows a line and moves the boundary on release; the panel left of a handle snaps closed
// when dragged narrower than kMinPanel (it must be collapsible), the one right of it keeps
// at least kMinPanel.
class TGripSplitter : public QSplitter {
    Q_OBJECT
public:
    static constexpr int kMinPanel = 30;

    explicit TGripSplitter(QWidget* parent);
    // The line at `pos` (the handle's left edge) while a handle is dragged; -1 removes it.
    void ShowDragLine(int pos);

protected:
    QSplitterHandle* createHandle() override;
};

// The language tabs in button style: the flag of each tab's language (greyed on the tab
// that is not selected) and the tab's text beside it. Flags are given per tab.
class TFlagTabBar : public QTabBar {
    Q_OBJECT
public:
    explicit TFlagTabBar(QWidget* parent);
    // `active` is shown on the selected tab, `inactive` on the other one.
    void SetFlags(int index, const QPixmap& active, const QPixmap& inactive);

protected:
    void paintEvent(QPaintEvent* event) override;
    QSize tabSizeHint(int index) const override;

private:
    QList<QPixmap> FActive;
    QList<QPixmap> FInactive;
};

// The banner line: `text` right-aligned with a 5-pixel margin in the painter's font and
// pen, the house picture left of it while `hover`, and a two-line rule under it that
// fades in from the left.
void PaintBanner(QPainter& painter, QSize box, const QString& text, bool hover,
                 const QPixmap& house);

} // namespace quillet
