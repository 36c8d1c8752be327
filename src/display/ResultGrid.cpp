// SPDX-License-Identifier: GPL-2.0-or-later
#include "ResultGrid.h"

#include "DrawTools.h"
#include "ResultGridAccessible.h"
#include "TextTools.h"

#include <algorithm>
#include <QAction>
#include <QClipboard>
#include <QDateTime>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLoggingCategory>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

namespace quillet {
namespace {

// Off unless asked for (QT_LOGGING_RULES="quillet.timing=true"): bench/window-start.sh
// reads when the first rows reach the screen.
Q_LOGGING_CATEGORY(lcTiming, "quillet.timing", QtWarningMsg)

constexpr int kKeyColumnWidth = 15;
constexpr int kHeaderStrip = 3; // white strip under the header gradient
constexpr quint32 kOddEntryColor = 0x00E0F0F0;
constexpr quint32 kSeparatorColor = 0x00C0C0C0;
constexpr quint32 kHeaderTopColor = 0x0085FFFF;
constexpr quint32 kHeaderBottomColor = 0x0055D0EF;

// The marker of an entry's first part. A plain Unicode square, since symbol fonts with
// private code points are not found on every system.
const QString kBullet = QStringLiteral("\u25AA");

// Only family and size of `base` count; the cells set their own styles word by word.
QFont styledFont(const QFont& base, double pointSize, bool bold) {
    QFont font(base.family());
    if (pointSize > 0)
        font.setPointSizeF(pointSize);
    else if (base.pixelSize() > 0)
        font.setPixelSize(base.pixelSize());
    font.setBold(bold);
    return font;
}

} // namespace

TResultGrid::TResultGrid(QWidget* parent) : QAbstractScrollArea(parent) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    // The right button opens the grid's own menu over words; no other menu may pop up.
    setContextMenuPolicy(Qt::PreventContextMenu);
    viewport()->setContextMenuPolicy(Qt::PreventContextMenu);
    verticalScrollBar()->setSingleStep(1);

    FPopupMenu = new QMenu(this);
    FPopupMenu->setObjectName(QStringLiteral("PopupMenu"));
    FCopyWord = FPopupMenu->addAction(QStringLiteral("Wort kopieren"));
    FCopyWord->setObjectName(QStringLiteral("miCopy"));
    FCopyEntry = FPopupMenu->addAction(QStringLiteral("Eintrag kopieren"));
    FCopyEntry->setObjectName(QStringLiteral("miCopyLine"));
    FPopupMenu->setDefaultAction(FCopyWord);
    connect(FCopyWord, &QAction::triggered, this,
            [this] { QGuiApplication::clipboard()->setText(FPopupWord); });
    connect(FCopyEntry, &QAction::triggered, this,
            [this] { QGuiApplication::clipboard()->setText(FPopupEntry); });

    SetGridFont(QFont(QStringLiteral("Arial"), 9));
}

TResultGrid::~TResultGrid() = default;

void TResultGrid::SetGridFont(const QFont& font) {
    FGridFont = font;
    FDefaultRowHeight = QFontMetrics(font, viewport()).height() + 4;
    for (TGridRow& row : FRows)
        for (auto& cell : row.Cells)
            cell->LineHeight = FDefaultRowHeight;
    LayOutRows();
    UpdateScrollRange();
    viewport()->update();
}

void TResultGrid::SetHeaderHeight(int height) {
    FHeaderHeight = std::max(0, height);
    UpdateScrollRange();
    viewport()->update();
}

void TResultGrid::SetCaptions(const QString& column1, const QString& column2) {
    FCaptions[0] = column1;
    FCaptions[1] = column2;
    viewport()->update(0, 0, viewport()->width(), FHeaderHeight);
}

void TResultGrid::Fill(const TTermPairArray& rows, int direction, bool reverseLanguage,
                       const QString& searchText) {
    const int current = direction == 1 ? 1 : 0;
    const int other = 1 - current;
    FReverse = reverseLanguage;
    FRows.clear();
    for (size_t entry = 0; entry < rows.size(); ++entry) {
        const QStringList left = SplitText(rows[entry].Left, u"|", false);
        const QStringList right = SplitText(rows[entry].Right, u"|", false);
        // side[direction] goes to column 1: the translation unless the columns are swapped.
        const QStringList* side[2] = {reverseLanguage ? &left : &right,
                                      reverseLanguage ? &right : &left};
        const qsizetype parts = std::min(left.size(), right.size());
        for (qsizetype part = 0; part < parts; ++part) {
            TGridRow row;
            row.Entry = int(entry);
            row.Part = int(part);
            row.Cells[0] = std::make_unique<TTermObject>(side[current]->at(part), searchText);
            row.Cells[1] = std::make_unique<TTermObject>(side[other]->at(part), searchText);
            // Each object knows the language of the text next to it (for the web searches).
            row.Cells[0]->OppositeLanguage = reverseLanguage ? other : current;
            row.Cells[1]->OppositeLanguage = reverseLanguage ? current : other;
            for (auto& cell : row.Cells) {
                cell->LineHeight = FDefaultRowHeight;
                cell->PartIndex = int(part);
            }
            FRows.push_back(std::move(row));
        }
    }
    FCurrentRow = FRows.empty() ? -1 : 1;
    verticalScrollBar()->setValue(0);
    UpdateColumnWidths();
    LayOutRows();
    UpdateScrollRange();
    viewport()->update();
    NotifyResultGridRowsChanged(this);
}

void TResultGrid::Clear() {
    Fill({}, 0, FReverse, {});
}

int TResultGrid::ColumnWidth(int column) const {
    if (column == 0)
        return kKeyColumnWidth;
    return column == 1 || column == 2 ? FColumnWidth : 0;
}

int TResultGrid::RowHeight(int row) const {
    if (row == 0)
        return FHeaderHeight;
    return row > 0 && row < RowCount() ? FRows[row - 1].Height : 0;
}

QString TResultGrid::RowKey(int row) const {
    if (row <= 0 || row >= RowCount())
        return {};
    return QStringLiteral("%1-%2").arg(FRows[row - 1].Entry).arg(FRows[row - 1].Part);
}

const TTermObject* TResultGrid::CellObject(int row, int column) const {
    if (row <= 0 || row >= RowCount() || (column != 1 && column != 2))
        return nullptr;
    return FRows[row - 1].Cells[column - 1].get();
}

QRect TResultGrid::CellRect(int row, int column) const {
    if (column < 0 || column > 2 || row < 0 || row >= RowCount())
        return {};
    const int left = ColumnLeft(column);
    if (row == 0)
        return RectLTRB(left, 0, left + ColumnWidth(column), FHeaderHeight);
    int top = FHeaderHeight;
    for (int index = TopIndex(); index < int(FRows.size()) && top < viewport()->height(); ++index) {
        if (index == row - 1)
            return RectLTRB(left, top, left + ColumnWidth(column), top + FRows[index].Height);
        top += FRows[index].Height;
    }
    return {};
}

int TResultGrid::TopIndex() const {
    return std::clamp(verticalScrollBar()->value(), 0, std::max(0, int(FRows.size()) - 1));
}

int TResultGrid::ColumnLeft(int column) const {
    return column == 0 ? 0 : kKeyColumnWidth + (column - 1) * FColumnWidth;
}

bool TResultGrid::CellAt(QPoint pos, int& row, int& column, QRect& cell) const {
    if (pos.x() < 0 || pos.y() < 0 || pos.x() >= ColumnLeft(2) + FColumnWidth)
        return false;
    column = pos.x() < ColumnLeft(1) ? 0 : pos.x() < ColumnLeft(2) ? 1 : 2;
    if (pos.y() < FHeaderHeight) {
        row = 0;
        cell = CellRect(0, column);
        return true;
    }
    int top = FHeaderHeight;
    for (int index = TopIndex(); index < int(FRows.size()); ++index) {
        const int bottom = top + FRows[index].Height;
        if (pos.y() < bottom) {
            row = index + 1;
            cell = RectLTRB(ColumnLeft(column), top, ColumnLeft(column) + FColumnWidth, bottom);
            return true;
        }
        top = bottom;
    }
    return false;
}

const TTermWord* TResultGrid::HotWordAt(QPoint pos, int& row, int& column) const {
    QRect cell;
    if (!CellAt(pos, row, column, cell) || row == 0 || column == 0)
        return nullptr;
    // Column 2 is drawn 2 pixels in, yet its words are measured from the cell's edge:
    // the hot spots sit 2 pixels left of the words, as users of the program know them.
    const int dx = pos.x() - cell.left();
    const int dy = pos.y() - cell.top();
    for (const TTermWord& word : FRows[row - 1].Cells[column - 1]->HotWords) {
        if (word.Left <= dx && dx <= word.Right && word.Top <= dy && dy <= word.Bottom)
            return &word;
    }
    return nullptr;
}

void TResultGrid::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), Qt::white);
    int top = FHeaderHeight;
    for (int index = TopIndex(); index < int(FRows.size()) && top < viewport()->height(); ++index) {
        PaintRow(painter, index, top);
        top += FRows[index].Height;
    }
    PaintHeader(painter);
    static bool rowsPainted = false;
    if (!rowsPainted && !FRows.empty()) {
        rowsPainted = true;
        qCInfo(lcTiming, "first rows painted at %lld ms since the epoch",
               QDateTime::currentMSecsSinceEpoch());
    }
}

void TResultGrid::PaintHeader(QPainter& painter) {
    const int bottom = FHeaderHeight - kHeaderStrip;
    const QPalette& colors = palette();
    for (int column = 0; column < 3; ++column) {
        const int left = ColumnLeft(column);
        const int right = left + ColumnWidth(column);
        if (right <= left || FHeaderHeight <= 0)
            continue;
        const QRect face = RectLTRB(left, 0, right, std::max(0, bottom));
        painter.save();
        painter.setClipRect(RectLTRB(left, 0, right, FHeaderHeight));
        GradientFill(painter, PlatformColor(kHeaderTopColor), PlatformColor(kHeaderBottomColor),
                     false, face);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(Qt::black);
        if (column == 0) {
            // The two arrows say that a click here swaps the language columns.
            painter.setFont(styledFont(QFont(QStringLiteral("Arial")), 8, true));
            WideTextRect(painter, face, 2, 0, QStringLiteral("\u2192"));
            WideTextRect(painter, face, 1, 4, QStringLiteral("\u2190"));
        } else {
            painter.setFont(styledFont(FGridFont, 10, true));
            const int textHeight = painter.fontMetrics().height();
            const int y = RoundHalfEven((bottom - textHeight) / 2.0);
            WideTextRect(painter, face, left + 5, y, FCaptions[column - 1]);
        }
        if (bottom > 0) {
            painter.setPen(colors.color(QPalette::Midlight));
            painter.drawLine(left, bottom - 1, left, 1);
            painter.drawLine(left, 0, right - 2, 0);
            painter.setPen(colors.color(QPalette::Shadow));
            painter.drawLine(right - 1, 0, right - 1, bottom - 2);
            painter.drawLine(right - 1, bottom - 1, left + 1, bottom - 1);
        }
        painter.fillRect(RectLTRB(left, std::max(0, bottom), right, FHeaderHeight), Qt::white);
        painter.restore();
    }
}

void TResultGrid::PaintRow(QPainter& painter, int index, int top) {
    TGridRow& row = FRows[index];
    const QColor background = row.Entry % 2 ? PlatformColor(kOddEntryColor) : QColor(Qt::white);
    const int bottom = top + row.Height;
    for (int column = 0; column < 3; ++column) {
        const int left = ColumnLeft(column);
        const QRect cell = RectLTRB(left, top, left + ColumnWidth(column), bottom);
        painter.save();
        painter.setClipRect(cell.isValid() ? cell : QRect());
        painter.fillRect(cell, background);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(Qt::black);
        if (column == 0) {
            if (row.Part == 0) {
                painter.setFont(styledFont(FGridFont, FGridFont.pointSizeF(), true));
                WideTextRect(painter, cell, left + 4, top + 2, kBullet);
            }
        } else {
            painter.setFont(styledFont(FGridFont, FGridFont.pointSizeF(), false));
            QRect area = cell;
            if (column == 2)
                area.setLeft(area.left() + 2);
            try {
                row.Cells[column - 1]->Draw(painter, area);
            } catch (...) {
                // A cell that cannot be drawn stays blank; the grid goes on.
            }
            if (column == 1) {
                const int x = left + ColumnWidth(1) - 1;
                painter.setPen(PlatformColor(kSeparatorColor));
                painter.drawLine(x, top, x, bottom - 1);
            }
        }
        painter.restore();
    }
    if (index + 1 == FCurrentRow && hasFocus()) {
        // A thin frame marks the selected row and keeps its text readable.
        painter.save();
        painter.setPen(palette().color(QPalette::Highlight));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(0, top, ColumnLeft(2) + FColumnWidth - 1, row.Height - 1);
        painter.restore();
    }
}

void TResultGrid::resizeEvent(QResizeEvent*) {
    const int before = FColumnWidth;
    UpdateColumnWidths();
    if (FColumnWidth != before)
        LayOutRows();
    UpdateScrollRange();
}

void TResultGrid::scrollContentsBy(int, int) {
    viewport()->update();
}

void TResultGrid::UpdateColumnWidths() {
    FColumnWidth = std::max(0, (viewport()->width() - kKeyColumnWidth) / 2);
    viewport()->update();
}

void TResultGrid::LayOutRows() {
    // Every row is laid out at once: scrolling by keys or by the scroll bar needs the
    // heights of rows that have not been painted yet. quillet-bench --grid times it.
    if (FRows.empty())
        return;
    const TTermMetrics metrics(styledFont(FGridFont, FGridFont.pointSizeF(), false), viewport());
    for (TGridRow& row : FRows) {
        // Column 2 is drawn 2 pixels in from its cell's left edge.
        row.Cells[0]->Measure(metrics, FColumnWidth);
        row.Cells[1]->Measure(metrics, FColumnWidth - 2);
        row.Height = std::max(row.Cells[0]->TotalHeight, row.Cells[1]->TotalHeight);
    }
}

void TResultGrid::UpdateScrollRange() {
    // The last top row is the one that still shows the last row whole (or at least it).
    const int available = viewport()->height() - FHeaderHeight;
    int top = int(FRows.size());
    int used = 0;
    while (top > 0 && used + FRows[top - 1].Height <= available)
        used += FRows[--top].Height;
    const int lastTop = std::min(top, std::max(0, int(FRows.size()) - 1));
    QScrollBar* bar = verticalScrollBar();
    bar->setRange(0, lastTop);
    bar->setPageStep(std::max(1, int(FRows.size()) - top));
}

void TResultGrid::MoveCurrent(int row) {
    if (FRows.empty())
        return;
    FCurrentRow = std::clamp(row, 1, RowCount() - 1);
    const int index = FCurrentRow - 1;
    int top = TopIndex();
    if (index < top) {
        top = index;
    } else {
        const int available = viewport()->height() - FHeaderHeight;
        int used = 0;
        for (int i = top; i <= index; ++i)
            used += FRows[i].Height;
        while (used > available && top < index)
            used -= FRows[top++].Height;
    }
    verticalScrollBar()->setValue(top);
    viewport()->update();
    NotifyResultGridCurrentChanged(this);
}

bool TResultGrid::TakePopupFromCurrentRow() {
    const TTermObject* object = CellObject(FCurrentRow, SearchedColumn());
    if (!object)
        return false;
    const QStringList words = object->ClickableWords();
    FPopupWord = words.value(0);
    FPopupEntry = object->Text;
    FPopupLanguage = object->OppositeLanguage;
    return true;
}

void TResultGrid::mouseMoveEvent(QMouseEvent* event) {
    int row = 0, column = 0;
    const TTermWord* word = HotWordAt(event->position().toPoint(), row, column);
    if (!word) {
        if (viewport()->cursor().shape() != Qt::ArrowCursor)
            viewport()->unsetCursor();
        return;
    }
    viewport()->setCursor(Qt::PointingHandCursor);
    if (word->Word != FHoverWord) {
        FHoverWord = word->Word;
        FHoverLanguage = 1 - CellObject(row, column)->OppositeLanguage;
        emit wordHovered(FHoverWord);
    }
}

void TResultGrid::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    int row = 0, column = 0;
    QRect cell;
    if (CellAt(pos, row, column, cell) && row > 0 &&
        (event->button() == Qt::LeftButton || event->button() == Qt::RightButton))
        MoveCurrent(row);
    const TTermWord* hit = HotWordAt(pos, row, column);
    if (!hit)
        return;
    // Copied: a slot may refill the grid and free the object the word belongs to.
    const QString word = hit->Word;
    if (event->button() == Qt::LeftButton) {
        emit wordClicked(word, (column == 1) != FReverse);
    } else if (event->button() == Qt::RightButton) {
        const TTermObject& object = *FRows[row - 1].Cells[column - 1];
        FPopupWord = word;
        FPopupEntry = object.Text;
        FPopupLanguage = object.OppositeLanguage;
        FPopupMenu->popup(event->globalPosition().toPoint());
    }
}

void TResultGrid::mouseReleaseEvent(QMouseEvent* event) {
    int row = -1, column = -1;
    QRect cell;
    if (CellAt(event->position().toPoint(), row, column, cell) && row == 0 && column == 0)
        emit swapRequested();
}

bool TResultGrid::WheelScroll(QPoint angleDelta) {
    if (angleDelta.y() == 0)
        return false;
    FWheelDelta += angleDelta.y();
    const int notches = FWheelDelta / 120;
    FWheelDelta -= notches * 120;
    if (notches != 0)
        verticalScrollBar()->setValue(verticalScrollBar()->value() - notches);
    return true;
}

void TResultGrid::wheelEvent(QWheelEvent* event) {
    event->setAccepted(WheelScroll(event->angleDelta()));
}

void TResultGrid::keyPressEvent(QKeyEvent* event) {
    QScrollBar* bar = verticalScrollBar();
    switch (event->key()) {
    case Qt::Key_Down:
    case Qt::Key_Up: {
        // The view moves a line and the selection with it, so the selection keeps its
        // place on the screen while the list runs past it.
        const int step = event->key() == Qt::Key_Down ? 1 : -1;
        bar->setValue(bar->value() + step);
        MoveCurrent(FCurrentRow + step);
        break;
    }
    case Qt::Key_PageDown:
        MoveCurrent(FCurrentRow + bar->pageStep());
        break;
    case Qt::Key_PageUp:
        MoveCurrent(FCurrentRow - bar->pageStep());
        break;
    case Qt::Key_Home:
        MoveCurrent(1);
        break;
    case Qt::Key_End:
        MoveCurrent(RowCount() - 1);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (TakePopupFromCurrentRow() && !FPopupWord.isEmpty())
            emit wordClicked(FPopupWord, false);
        break;
    case Qt::Key_Menu:
    case Qt::Key_F10:
        if (event->key() == Qt::Key_F10 && event->modifiers() != Qt::ShiftModifier) {
            event->ignore();
            return;
        }
        if (TakePopupFromCurrentRow()) {
            const QRect cell = CellRect(FCurrentRow, SearchedColumn());
            FPopupMenu->popup(viewport()->mapToGlobal(cell.isValid() ? cell.topLeft()
                                                                     : QPoint(0, FHeaderHeight)));
            FPopupMenu->setActiveAction(FCopyWord);
        }
        break;
    default:
        if (event->matches(QKeySequence::Copy)) {
            if (TakePopupFromCurrentRow())
                FCopyEntry->trigger();
            break;
        }
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
}

void TResultGrid::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
    NotifyResultGridCurrentChanged(this);
}

void TResultGrid::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

} // namespace quillet
