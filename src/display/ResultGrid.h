// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "DictDB.h"
#include "TermObject.h"

#include <array>
#include <memory>
#include <QAbstractScrollArea>
#include <QFont>
#include <QString>
#include <vector>

class QAction;
class QMenu;

// The result grid of the main window: one row per part of an entry, the two language
// sides next to each other, each cell laid out and drawn by its own TTermObject.
//
// Rows are numbered as the user sees them: row 0 is the fixed header, data rows are
// 1 .. RowCount() - 1. Columns: 0 is the narrow marker column, 1 and 2 the language sides.
// The scroll bar scrolls whole data rows; its value is the index of the first visible one,
// so the main window can scroll by lines through verticalScrollBar(). Up and Down scroll a
// line and move the selected row; while the grid has focus a thin highlight frame marks
// that row, leaving its colours and text as they are. The selected row is the keyboard's
// focused row: Enter looks up its first word in the searched language (as a click on it
// does), Shift+F10 and the Menu key open the context menu for it, Ctrl+C copies its entry
// (as "Eintrag kopieren" does). Its accessibility interface (ResultGridAccessible.h)
// shows it as a table of the two language columns.
//
// A grid without data rows (before the first lookup, after an unreadable entry file, or
// when no entry has two non-empty sides) shows the header over a blank white area and
// has nothing to hit-test.
//
// The main window owns it; UI thread only.
namespace quillet {

class TResultGrid : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit TResultGrid(QWidget* parent = nullptr);
    ~TResultGrid() override;

    // Family and size of the cell text; also fixes the default row height ("Wj" + 4).
    void SetGridFont(const QFont& font);
    QFont GridFont() const { return FGridFont; }
    int DefaultRowHeight() const { return FDefaultRowHeight; }
    void SetHeaderHeight(int height);
    int HeaderHeight() const { return FHeaderHeight; }
    void SetCaptions(const QString& column1, const QString& column2);
    // The caption of column 1 or 2.
    QString Caption(int column) const {
        return column == 1 || column == 2 ? FCaptions[column - 1] : QString();
    }

    // Replaces all data rows by the parts of `rows`. `direction` is the searched language
    // (0 = language 1, the left side of an entry); `reverseLanguage` puts the searched
    // language into column 1 instead of column 2. `searchText` is what the cells highlight.
    void Fill(const TTermPairArray& rows, int direction, bool reverseLanguage,
              const QString& searchText);
    // Drops every data row; the header stays.
    void Clear();

    int RowCount() const { return int(FRows.size()) + 1; }
    int ColumnWidth(int column) const;
    int RowHeight(int row) const;
    // "entry-part" of a data row, both 0-based; empty for the header or a bad row.
    QString RowKey(int row) const;
    // The object of column 1 or 2 of a data row; null elsewhere.
    const TTermObject* CellObject(int row, int column) const;
    // A cell in viewport coordinates; empty when the row is scrolled out of view.
    QRect CellRect(int row, int column) const;
    // The selected data row, -1 without data rows.
    int CurrentRow() const { return FCurrentRow; }
    // Selects data row `row` (kept within the data rows) and scrolls it into view.
    void SetCurrentRow(int row) { MoveCurrent(row); }
    // The column of the searched language: 2, or 1 while the columns are swapped.
    int SearchedColumn() const { return FReverse ? 1 : 2; }

    // One row per notch of a wheel's vertical turn (120 of `angleDelta`); the small steps of
    // touchpads and fine-grained wheels add up until they make a notch. False for a turn
    // without a vertical part (a tilt wheel, a sideways swipe): it scrolls nothing.
    bool WheelScroll(QPoint angleDelta);

    // The word the pronunciation panel shows; hovering emits only for other words.
    void SetHoverWord(const QString& word) { FHoverWord = word; }
    // The language (direction value) of the word hovered last: the language of its column.
    int HoverLanguage() const { return FHoverLanguage; }

    // What the last right click on a word left for the context menu: the word, the whole
    // entry part (with its markup) and the direction value of the neighbouring column.
    QString PopupWord() const { return FPopupWord; }
    QString PopupEntry() const { return FPopupEntry; }
    int PopupLanguage() const { return FPopupLanguage; }
    // The menu ("PopupMenu"); web-search items go after a separator behind the two
    // copy actions "miCopy" (the default) and "miCopyLine".
    QMenu* ContextMenu() const { return FPopupMenu; }
    QAction* CopyWordAction() const { return FCopyWord; }
    QAction* CopyEntryAction() const { return FCopyEntry; }

signals:
    void wordHovered(const QString& word);
    // `inOtherLanguageColumn`: the word stands in the translation's column, so looking it
    // up means switching the direction.
    void wordClicked(const QString& word, bool inOtherLanguageColumn);
    void swapRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    struct TGridRow {
        int Entry = 0;
        int Part = 0;
        int Height = 0;
        std::array<std::unique_ptr<TTermObject>, 2> Cells; // columns 1 and 2
    };

    int TopIndex() const;
    int ColumnLeft(int column) const;
    bool CellAt(QPoint pos, int& row, int& column, QRect& cell) const;
    const TTermWord* HotWordAt(QPoint pos, int& row, int& column) const;
    void PaintHeader(QPainter& painter);
    void PaintRow(QPainter& painter, int index, int top);
    void UpdateColumnWidths();
    // Gives every row its final height, the taller of its two cells' layouts.
    void LayOutRows();
    void UpdateScrollRange();
    void MoveCurrent(int row);
    // The popup values for the focused row's searched-language cell, as a right click on
    // its first word leaves them (no word when it has none); false without a focused row.
    bool TakePopupFromCurrentRow();

    std::vector<TGridRow> FRows;
    QFont FGridFont;
    int FDefaultRowHeight = 0;
    int FHeaderHeight = 25;
    int FColumnWidth = 0;
    QString FCaptions[2];
    bool FReverse = false;
    int FCurrentRow = -1;
    int FWheelDelta = 0;
    QString FHoverWord;
    int FHoverLanguage = 0;
    QString FPopupWord;
    QString FPopupEntry;
    int FPopupLanguage = 0;
    QMenu* FPopupMenu = nullptr;
    QAction* FCopyWord = nullptr;
    QAction* FCopyEntry = nullptr;
};

} // namespace quillet
