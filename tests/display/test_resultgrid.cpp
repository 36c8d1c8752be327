// SPDX-License-Identifier: GPL-2.0-or-later
#include "ChromeAccessible.h"
#include "ResultGrid.h"
#include "ResultGridAccessible.h"

#include <functional>
#include <QAccessible>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

using namespace quillet;

namespace {

// A shown grid with a viewport of exactly `width` pixels (no frame, no scroll bar).
void show(TResultGrid& grid, int width, int height = 300) {
    grid.setFrameShape(QFrame::NoFrame);
    grid.SetGridFont(QFont(QStringLiteral("DejaVu Sans"), 9));
    grid.resize(width, height);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
}

// Painting draws the cells where the grid shows them: hot words are then where they are seen.
QImage paint(TResultGrid& grid) {
    return grid.viewport()->grab().toImage();
}

QPoint wordPoint(const TResultGrid& grid, int row, int column, const QString& word) {
    const QRect cell = grid.CellRect(row, column);
    for (const TTermWord& hot : grid.CellObject(row, column)->HotWords) {
        if (hot.Word == word)
            return cell.topLeft() + QPoint((hot.Left + hot.Right) / 2, (hot.Top + hot.Bottom) / 2);
    }
    return {-1, -1};
}

bool hasDarkPixel(const QImage& image, const QRect& area) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (QColor(image.pixel(x, y)).lightness() < 100)
                return true;
    return false;
}

// The accessibility events of the grid's cells, as "type row,column" (Qt's event numbers).
QStringList gEvents;
void recordEvent(QAccessibleEvent* event) {
    QAccessibleInterface* iface = event->accessibleInterface();
    if (QAccessibleTableCellInterface* cell = iface ? iface->tableCellInterface() : nullptr)
        gEvents.append(QStringLiteral("%1 %2,%3")
                           .arg(event->type() == QAccessible::Focus ? "focus" : "select")
                           .arg(cell->rowIndex())
                           .arg(cell->columnIndex()));
    else if (event->type() == QAccessible::TableModelChanged)
        gEvents.append(QStringLiteral("rows"));
}

} // namespace

class TestResultGrid : public QObject {
    Q_OBJECT

private slots:
    void columnsFollowDirectionAndSwap_data() {
        QTest::addColumn<int>("direction");
        QTest::addColumn<bool>("reverse");
        QTest::addColumn<QString>("column1");
        QTest::addColumn<int>("opposite1");
        // left side "a|b" is language 1, right side "x|y|z" language 2
        QTest::newRow("lang 1 searched") << 0 << false << "x" << 0;
        QTest::newRow("lang 1 searched, swapped") << 0 << true << "a" << 1;
        QTest::newRow("lang 2 searched") << 1 << false << "a" << 1;
        QTest::newRow("lang 2 searched, swapped") << 1 << true << "x" << 0;
    }
    void columnsFollowDirectionAndSwap() {
        QFETCH(int, direction);
        QFETCH(bool, reverse);
        QFETCH(QString, column1);
        QFETCH(int, opposite1);
        TResultGrid grid;
        grid.Fill({{"a|b", "x|y|z", 1}}, direction, reverse, "a");
        QCOMPARE(grid.RowCount(), 3); // part z has no counterpart
        QCOMPARE(grid.RowKey(1) + ' ' + grid.RowKey(2), "0-0 0-1");
        const QString column2 = column1 == "a" ? "x" : "a";
        QCOMPARE(grid.CellObject(1, 1)->Text + grid.CellObject(1, 2)->Text, column1 + column2);
        QCOMPARE(grid.CellObject(2, 2)->Text, column2 == "a" ? "b" : "y");
        QCOMPARE(grid.CellObject(2, 1)->PartIndex, 1);
        QCOMPARE(grid.CellObject(1, 1)->OppositeLanguage, opposite1);
        QCOMPARE(grid.CellObject(2, 2)->OppositeLanguage, 1 - opposite1);
        QCOMPARE(grid.CellObject(1, 2)->LineHeight, grid.DefaultRowHeight());
    }

    void rowsComeFromNonEmptyParts() {
        TResultGrid grid;
        grid.Fill({{"", "x", 1}, {"a|", "x|y", 1}, {"|b", "x|y", 1}}, 0, false, {});
        QCOMPARE(grid.RowCount(), 4); // entry 0 gives nothing, entry 1 one row, entry 2 two
        QCOMPARE(grid.RowKey(1) + ' ' + grid.RowKey(3), "1-0 2-1");
        QCOMPARE(grid.CellObject(2, 2)->Text, QString()); // an empty inner part is kept

        grid.Fill({{"", "", 1}}, 0, false, {});
        QCOMPARE(grid.RowCount(), 1);
        QVERIFY(!grid.CellObject(1, 1));
        grid.Fill({{"kein Treffer", "no match", 0}}, 0, false, "xyz");
        QCOMPARE(grid.RowCount(), 2);
        grid.Clear();
        QCOMPARE(grid.RowCount(), 1);
        QCOMPARE(grid.CurrentRow(), -1);
    }

    void drawsEntriesHeaderAndMarkers() {
        TResultGrid grid;
        show(grid, 500);
        grid.Fill({{"eins", "one", 1}, {"zwei|drei", "two|three", 1}, {"vier", "four", 1}}, 0,
                  false, {});
        const QImage image = paint(grid);
        const QColor odd(240, 240, 224);
        const QColor expected[] = {Qt::white, odd, odd, Qt::white};
        for (int row = 1; row <= 4; ++row) {
            const QRect cell = grid.CellRect(row, 1);
            QCOMPARE(QColor(image.pixel(cell.right() - 5, cell.top() + 1)), expected[row - 1]);
            QCOMPARE(QColor(image.pixel(cell.right(), cell.center().y())), QColor(192, 192, 192));
            // the bullet marks an entry's first part only
            QCOMPARE(hasDarkPixel(image, grid.CellRect(row, 0)), row != 3);
        }
        const QRect header = grid.CellRect(0, 1);
        QCOMPARE(QColor(image.pixel(header.center().x(), header.bottom())), QColor(Qt::white));
        // The gradient's third line of 22: one step of 22 is taken per line.
        QCOMPARE(QColor(image.pixel(header.right() - 10, 2)), QColor(253, 249, 126));
    }

    void columnWidthsAndRowHeightsFollowTheWidth() {
        TResultGrid grid;
        show(grid, 500);
        QCOMPARE(QList<int>({grid.ColumnWidth(0), grid.ColumnWidth(1), grid.ColumnWidth(2)}),
                 QList<int>({15, 242, 242}));

        // Three words of which two never share a line: the row gets three lines tall.
        const QString word = QStringLiteral("Donaudampf");
        const int w = QFontMetrics(grid.GridFont(), grid.viewport()).horizontalAdvance(word) + 1;
        const int column = w * 3 / 2 + 12;
        grid.resize(15 + 2 * column, 300);
        QCOMPARE(grid.ColumnWidth(2), column);
        const QString text = word + ' ' + word + ' ' + word;
        grid.Fill({{text, text, 1}}, 0, false, {});
        QCOMPARE(grid.RowHeight(1), 3 * grid.DefaultRowHeight());
        paint(grid); // drawn as it was measured
        QCOMPARE(grid.CellObject(1, 2)->TotalHeight, 3 * grid.DefaultRowHeight());
        grid.resize(1000, 300);
        QCOMPARE(grid.RowHeight(1), grid.DefaultRowHeight());
    }

    void hoverAndClickReportWords() {
        TResultGrid grid;
        show(grid, 500);
        grid.Fill({{"Haus Garten", "house House garden", 1}}, 0, false, "Haus");
        paint(grid);
        QWidget* view = grid.viewport();
        QSignalSpy hovered(&grid, &TResultGrid::wordHovered);
        QTest::mouseMove(view, wordPoint(grid, 1, 1, "house"));
        QTest::mouseMove(view, wordPoint(grid, 1, 1, "house") + QPoint(1, 0));
        QCOMPARE(view->cursor().shape(), Qt::PointingHandCursor);
        QTest::mouseMove(view, wordPoint(grid, 1, 1, "House"));
        QTest::mouseMove(view, wordPoint(grid, 1, 2, "Garten"));
        QCOMPARE(hovered.count(), 3);
        QCOMPARE(hovered.at(1).at(0).toString() + hovered.at(2).at(0).toString(), "HouseGarten");
        grid.SetHoverWord("garden");
        QTest::mouseMove(view, wordPoint(grid, 1, 1, "garden"));
        QTest::mouseMove(view, QPoint(5, 40));
        QCOMPARE(view->cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(hovered.count(), 3);

        QSignalSpy clicked(&grid, &TResultGrid::wordClicked);
        QTest::mouseClick(view, Qt::LeftButton, {}, wordPoint(grid, 1, 1, "garden"));
        QTest::mouseClick(view, Qt::LeftButton, {}, wordPoint(grid, 1, 2, "Haus"));
        grid.Fill({{"Haus Garten", "house garden", 1}}, 0, true, "Haus");
        paint(grid);
        QTest::mouseClick(view, Qt::LeftButton, {}, wordPoint(grid, 1, 1, "Garten"));
        QTest::mouseClick(view, Qt::LeftButton, {}, wordPoint(grid, 1, 2, "house"));
        QString flags; // the other language is in column 1, after the swap in column 2
        for (const QList<QVariant>& click : clicked)
            flags += click.at(0).toString() + (click.at(1).toBool() ? "+ " : "- ");
        QCOMPARE(flags, "garden+ Haus- Garten- house+ ");

        // Nothing of a replaced result may still be hit.
        const QPoint old = wordPoint(grid, 1, 1, "Garten");
        grid.Clear();
        QTest::mouseMove(view, old);
        QTest::mouseClick(view, Qt::LeftButton, {}, old);
        QCOMPARE(hovered.count(), 3);
        QCOMPARE(clicked.count(), 4);
    }

    void swapCellAndCopyCommands() {
        TResultGrid grid;
        show(grid, 500);
        grid.Fill({{"Haus {n}", "the house", 1}}, 0, false, {});
        paint(grid);
        QWidget* view = grid.viewport();
        QSignalSpy swapped(&grid, &TResultGrid::swapRequested);
        QTest::mouseRelease(view, Qt::RightButton, {}, QPoint(5, 5));
        QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(14, 20));
        QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(100, 5)); // a caption cell
        QTest::mouseRelease(view, Qt::LeftButton, {}, grid.CellRect(1, 0).center());
        QCOMPARE(swapped.count(), 2);

        QTest::mousePress(view, Qt::RightButton, {}, wordPoint(grid, 1, 2, "Haus"));
        QVERIFY(grid.ContextMenu()->isVisible());
        QCOMPARE(grid.ContextMenu()->defaultAction(), grid.CopyWordAction());
        QCOMPARE(grid.PopupWord() + '/' + grid.PopupEntry(), "Haus/Haus {n}");
        QCOMPARE(grid.PopupLanguage(), 1);
        grid.CopyWordAction()->trigger();
        const QString word = QGuiApplication::clipboard()->text();
        grid.CopyEntryAction()->trigger();
        QCOMPARE(word + '/' + QGuiApplication::clipboard()->text(), "Haus/Haus {n}");
        grid.ContextMenu()->close();
    }

    // The keyboard's commands on the focused row take its searched-language cell: column 2,
    // or column 1 while the columns are swapped.
    void keyboardCommandsOnTheFocusedRow_data() {
        QTest::addColumn<int>("direction");
        QTest::addColumn<bool>("reverse");
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("entry");
        QTest::newRow("German searched") << 0 << false << "Baum"
                                         << "{m} Baum";
        QTest::newRow("German searched, swapped") << 0 << true << "Baum"
                                                  << "{m} Baum";
        QTest::newRow("English searched") << 1 << false << "tree"
                                          << "tree";
    }
    void keyboardCommandsOnTheFocusedRow() {
        QFETCH(int, direction);
        QFETCH(bool, reverse);
        QFETCH(QString, word);
        QFETCH(QString, entry);
        TResultGrid grid;
        show(grid, 500);
        grid.Fill({{"Haus", "house", 1}, {"{m} Baum", "tree", 1}}, direction, reverse, {});
        grid.setFocus();
        QCOMPARE(grid.CurrentRow(), 1);
        QTest::keyClick(&grid, Qt::Key_Down);
        QSignalSpy clicked(&grid, &TResultGrid::wordClicked);
        QTest::keyClick(&grid, Qt::Key_Return);
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(clicked[0][0].toString(), word);
        QCOMPARE(clicked[0][1].toBool(), false); // the searched language
        QGuiApplication::clipboard()->clear();
        QTest::keyClick(&grid, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), entry);
        for (auto [key, modifiers] :
             {std::pair{Qt::Key_F10, Qt::ShiftModifier}, std::pair{Qt::Key_Menu, Qt::NoModifier}}) {
            QTest::keyClick(&grid, key, modifiers);
            QTRY_VERIFY(grid.ContextMenu()->isVisible());
            QCOMPARE(grid.PopupWord() + '/' + grid.PopupEntry(), word + '/' + entry);
            grid.ContextMenu()->close();
        }
        QTest::keyClick(&grid, Qt::Key_F10); // the main window's key, not the grid's
        QVERIFY(!grid.ContextMenu()->isVisible());
    }

    // The table a screen reader sees: the two language columns with the captions as
    // headers, each cell as shown, the focused row selected and announced.
    void accessibleTable() {
        InstallDisplayAccessibility();
        SetAccessibilityObserver(recordEvent);
        TResultGrid grid;
        show(grid, 500);
        grid.SetCaptions("Englisch", "Deutsch");
        grid.setFocus();
        gEvents.clear();
        grid.Fill({{"Haus {n}", "house", 1}, {"Baum|Bäume [pl]", "tree|trees", 1}}, 0, false,
                  "Haus");
        QCOMPARE(gEvents, QStringList({"rows", "select 0,1", "focus 0,1"}));

        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&grid);
        QVERIFY(iface && iface->tableInterface());
        QAccessibleTableInterface* table = iface->tableInterface();
        QCOMPARE(iface->role(), QAccessible::Table);
        QCOMPARE(QPoint(table->rowCount(), table->columnCount()), QPoint(3, 2));
        QCOMPARE(iface->childCount(), 8); // two headers, six cells
        QStringList cells;
        for (int row = 0; row < table->rowCount(); ++row)
            for (int column = 0; column < 2; ++column)
                cells.append(table->cellAt(row, column)->text(QAccessible::Name));
        QCOMPARE(cells, QStringList({"house", "Haus n", "tree", "Baum", "trees", "Bäume pl"}));
        QAccessibleInterface* cell = table->cellAt(2, 1);
        QCOMPARE(iface->indexOfChild(cell), 7);
        QCOMPARE(iface->child(7), cell);
        QCOMPARE(cell->role(), QAccessible::Cell);
        QCOMPARE(cell->tableCellInterface()->columnHeaderCells().value(0)->text(QAccessible::Name),
                 "Deutsch");
        QCOMPARE(iface->child(0)->role(), QAccessible::ColumnHeader);
        QCOMPARE(table->columnDescription(0), "Englisch");
        QCOMPARE(table->selectedRows(), QList<int>{0});
        QVERIFY(table->cellAt(0, 1)->state().focused);
        QVERIFY(!cell->state().selected);

        gEvents.clear();
        QTest::keyClick(&grid, Qt::Key_End);
        QCOMPARE(gEvents, QStringList({"select 2,1", "focus 2,1"}));
        QVERIFY(cell->state().selected && cell->state().focused);
        QCOMPARE(iface->focusChild(), cell);
        QVERIFY(table->selectRow(1));
        QCOMPARE(grid.CurrentRow(), 2);

        // A new fill lets the old cells go; the table reads the new rows.
        grid.Fill({{"Apfel", "apple", 1}}, 0, true, {});
        QCOMPARE(table->rowCount(), 1);
        QCOMPARE(table->cellAt(0, 0)->text(QAccessible::Name), "Apfel");
        QVERIFY(!table->cellAt(1, 0));
        SetAccessibilityObserver(nullptr);
    }

    void keysAndWheelScrollByLines() {
        TResultGrid grid;
        show(grid, 500, 120);
        grid.Fill(TTermPairArray(30, {"eins", "one", 1}), 0, false, {});
        paint(grid);
        QScrollBar* bar = grid.verticalScrollBar();
        QTest::keyClick(&grid, Qt::Key_Down);
        QCOMPARE(QPoint(bar->value(), grid.CurrentRow()), QPoint(1, 2));
        QTest::keyClick(&grid, Qt::Key_Up);
        QTest::keyClick(&grid, Qt::Key_Up); // stays on the first row
        QCOMPARE(QPoint(bar->value(), grid.CurrentRow()), QPoint(0, 1));
        QWheelEvent wheel(QPointF(50, 50), grid.viewport()->mapToGlobal(QPointF(50, 50)), QPoint(),
                          QPoint(0, -240), Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(grid.viewport(), &wheel);
        QCOMPARE(bar->value(), 2);
    }

    // Rows three lines tall: End, Page Down and the scroll bar's end show the row they go
    // to at once, though it has not been painted yet.
    void scrollingReachesRowsNotPaintedYet() {
        TResultGrid grid;
        show(grid, 300, 150);
        const QString text = QStringLiteral("Donaudampfschiff Kapitänsmütze Gesellschaft");
        const auto shown = [&grid](int row) {
            paint(grid);
            QCoreApplication::processEvents();
            paint(grid);
            const QRect cell = grid.CellRect(row, 1);
            return !cell.isEmpty() && cell.bottom() < grid.viewport()->height();
        };
        QScrollBar* bar = grid.verticalScrollBar();
        const std::function<int()> moves[] = {
            [&] {
                QTest::keyClick(&grid, Qt::Key_End);
                return 20;
            },
            [&] {
                QTest::keyClick(&grid, Qt::Key_PageDown);
                return grid.CurrentRow();
            },
            [&] {
                bar->setValue(bar->maximum());
                return 20;
            },
        };
        for (const auto& move : moves) {
            grid.Fill(TTermPairArray(20, {text, text, 1}), 0, false, {});
            grid.setFocus();
            paint(grid);
            const int row = move();
            QVERIFY2(row > 1 && shown(row), qPrintable(QString::number(row)));
        }
    }
};

QTEST_MAIN(TestResultGrid)
#include "test_resultgrid.moc"
