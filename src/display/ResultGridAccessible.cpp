// SPDX-License-Identifier: GPL-2.0-or-later
#include "ResultGridAccessible.h"

#include "ChromeAccessible.h"
#include "PronPanel.h"
#include "ResultGrid.h"

#include <map>
#include <QAccessibleWidget>
#include <QPointer>
#include <QWindow>

namespace quillet {
namespace {

constexpr int kColumns = 2; // the grid's columns 1 and 2

// A header cell (row -1) or a data cell of the table; table rows and columns are 0-based,
// grid rows and columns 1-based. Reads the grid whenever it is asked, so it never shows
// what a fill has replaced; a cell whose row is gone is invalid.
class TGridCellAccessible : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    TGridCellAccessible(TResultGrid* grid, int row, int column)
        : FGrid(grid), FRow(row), FColumn(column) {}

    bool isValid() const override { return FGrid && FRow < FGrid->RowCount() - 1; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return FGrid ? FGrid->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(FGrid.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text kind) const override {
        if (!isValid())
            return {};
        if (kind == QAccessible::Name) {
            if (FRow < 0)
                return FGrid->Caption(FColumn + 1);
            const TTermObject* object = FGrid->CellObject(FRow + 1, FColumn + 1);
            return object ? object->PlainText() : QString();
        }
        return {};
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!isValid())
            return {};
        const QRect local = FGrid->CellRect(FRow + 1, FColumn + 1);
        if (local.isEmpty())
            return {};
        return QRect(FGrid->viewport()->mapToGlobal(local.topLeft()), local.size());
    }
    QAccessible::Role role() const override {
        return FRow < 0 ? QAccessible::ColumnHeader : QAccessible::Cell;
    }
    QAccessible::State state() const override {
        QAccessible::State state;
        if (!isValid())
            return state;
        state.invisible = !FGrid->isVisible();
        state.offscreen = rect().isEmpty();
        if (FRow >= 0) {
            state.selectable = true;
            state.focusable = true;
            state.selected = isSelected();
            state.focused =
                state.selected && FGrid->hasFocus() && FColumn + 1 == FGrid->SearchedColumn();
        }
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::TableCellInterface
                   ? static_cast<QAccessibleTableCellInterface*>(this)
                   : nullptr;
    }

    bool isSelected() const override { return isValid() && FRow + 1 == FGrid->CurrentRow(); }
    QList<QAccessibleInterface*> columnHeaderCells() const override;
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return FColumn; }
    int rowIndex() const override { return FRow; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

private:
    QPointer<TResultGrid> FGrid;
    int FRow;
    int FColumn;
};

class TResultGridAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit TResultGridAccessible(TResultGrid* grid)
        : QAccessibleWidget(grid, QAccessible::Table) {}
    ~TResultGridAccessible() override { DropCells(true); }

    TResultGrid* grid() const { return static_cast<TResultGrid*>(widget()); }

    // The cell interface, created on first use and kept until the rows change.
    QAccessibleInterface* Cell(int row, int column) const {
        if (row < -1 || row >= rowCount() || column < 0 || column >= kColumns)
            return nullptr;
        auto found = FCells.find({row, column});
        if (found == FCells.end())
            found = FCells
                        .emplace(std::pair{row, column},
                                 QAccessible::registerAccessibleInterface(
                                     new TGridCellAccessible(grid(), row, column)))
                        .first;
        return QAccessible::accessibleInterface(found->second);
    }
    QAccessibleInterface* FocusedCell() const {
        const int row = grid()->CurrentRow();
        return row > 0 ? Cell(row - 1, grid()->SearchedColumn() - 1) : nullptr;
    }
    // Data cells go with every change of the rows; the headers stay unless `all`.
    void DropCells(bool all) {
        for (auto it = FCells.begin(); it != FCells.end();) {
            if (all || it->first.first >= 0) {
                QAccessible::deleteAccessibleInterface(it->second);
                it = FCells.erase(it);
            } else {
                ++it;
            }
        }
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    int childCount() const override { return kColumns * (rowCount() + 1); }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount())
            return nullptr;
        return Cell(index / kColumns - 1, index % kColumns);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        auto* iface = const_cast<QAccessibleInterface*>(child);
        if (!iface || iface->parent() != this || !iface->tableCellInterface())
            return -1;
        const QAccessibleTableCellInterface* cell = iface->tableCellInterface();
        return (cell->rowIndex() + 1) * kColumns + cell->columnIndex();
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        for (int index = 0; index < childCount(); ++index)
            if (QAccessibleInterface* cell = child(index); cell->rect().contains(x, y))
                return cell;
        return nullptr;
    }
    QAccessibleInterface* focusChild() const override {
        return grid()->hasFocus() ? FocusedCell() : nullptr;
    }

    // QAccessibleTableInterface.
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override {
        return row >= 0 ? Cell(row, column) : nullptr;
    }
    int selectedCellCount() const override { return grid()->CurrentRow() > 0 ? kColumns : 0; }
    QList<QAccessibleInterface*> selectedCells() const override {
        QList<QAccessibleInterface*> cells;
        if (const int row = grid()->CurrentRow(); row > 0)
            for (int column = 0; column < kColumns; ++column)
                cells.append(Cell(row - 1, column));
        return cells;
    }
    QString columnDescription(int column) const override { return grid()->Caption(column + 1); }
    QString rowDescription(int) const override { return {}; }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return grid()->CurrentRow() > 0 ? 1 : 0; }
    int columnCount() const override { return kColumns; }
    int rowCount() const override { return grid()->RowCount() - 1; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override {
        return grid()->CurrentRow() > 0 ? QList<int>{grid()->CurrentRow() - 1} : QList<int>{};
    }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int row) const override { return row + 1 == grid()->CurrentRow(); }
    bool selectRow(int row) override {
        if (row < 0 || row >= rowCount())
            return false;
        grid()->SetCurrentRow(row + 1);
        return true;
    }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override { DropCells(false); }

private:
    mutable std::map<std::pair<int, int>, QAccessible::Id> FCells;
};

QList<QAccessibleInterface*> TGridCellAccessible::columnHeaderCells() const {
    auto* table = static_cast<TResultGridAccessible*>(parent());
    return table && FRow >= 0 ? QList<QAccessibleInterface*>{table->Cell(-1, FColumn)}
                              : QList<QAccessibleInterface*>{};
}

QAccessibleInterface* displayFactory(const QString&, QObject* object) {
    if (auto* grid = qobject_cast<TResultGrid*>(object))
        return new TResultGridAccessible(grid);
    if (auto* panel = qobject_cast<TPronPanel*>(object))
        return new TPaintedTextAccessible(panel, QAccessible::StaticText,
                                          [panel] { return panel->ShownText(); });
    return nullptr;
}

TResultGridAccessible* tableOf(TResultGrid* grid) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(grid);
    return iface && iface->tableInterface() ? static_cast<TResultGridAccessible*>(iface) : nullptr;
}

} // namespace

void InstallDisplayAccessibility() {
    InstallChromeAccessibility();
    static const bool installed = [] {
        QAccessible::installFactory(displayFactory);
        return true;
    }();
    (void)installed;
}

void NotifyResultGridRowsChanged(TResultGrid* grid) {
    if (!AccessibilityListening())
        return;
    if (TResultGridAccessible* table = tableOf(grid))
        table->DropCells(false); // Qt does it too, but only while somebody listens
    QAccessibleTableModelChangeEvent reset(grid, QAccessibleTableModelChangeEvent::ModelReset);
    SendAccessibilityEvent(&reset);
    NotifyResultGridCurrentChanged(grid);
}

void NotifyResultGridCurrentChanged(TResultGrid* grid) {
    if (!AccessibilityListening())
        return;
    TResultGridAccessible* table = tableOf(grid);
    QAccessibleInterface* cell = table ? table->FocusedCell() : nullptr;
    if (!cell)
        return;
    QAccessibleEvent selected(cell, QAccessible::Selection);
    SendAccessibilityEvent(&selected);
    if (grid->hasFocus()) {
        QAccessibleEvent focused(cell, QAccessible::Focus);
        SendAccessibilityEvent(&focused);
    }
}

} // namespace quillet
