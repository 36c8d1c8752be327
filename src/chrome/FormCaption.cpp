// SPDX-License-Identifier: GPL-2.0-or-later
#include "FormCaption.h"

#include "DrawTools.h"
#include "SkinPalette.h"

#include <QGuiApplication>
#include <QMenu>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace quillet {
namespace {

constexpr int kButtonSize = 14;

// Wayland does not let a program place its own windows; there the compositor moves them.
bool windowSystemMoves() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

QColor black() {
    return PlatformColor(skin::Black);
}

} // namespace

TFormCaption::TFormCaption(QWidget* owner)
    : QWidget(OwnerWindow(owner)), FColor(PlatformColor(skin::AccentOrange)),
      FFont(PixelFont(QStringLiteral("Trebuchet MS"), 15, true)), // 11 pt at 96 dots per inch
      FFormColor(PlatformColor(skin::WindowBackground)), FOwnerForm(owner) {
    LayoutButtons();
    setMouseTracking(true); // hover states need moves without a button held
    // A right click is a button press here, not a request for the owner's context menu.
    setContextMenuPolicy(Qt::PreventContextMenu);
    owner->installEventFilter(this);
    DockToOwner();
}

void TFormCaption::LayoutButtons() {
    const Qt::WindowFlags flags = FOwnerForm->windowFlags();
    FButtonAreaWidth = 40;
    const auto decide = [&](Button button, Qt::WindowType hint, int width) {
        const bool present = flags.testFlag(hint);
        FButtonState[button] = present ? cbsNormal : cbsAbsent;
        if (present)
            FButtonAreaWidth += width;
    };
    decide(HelpButton, Qt::WindowContextHelpButtonHint, 26);
    decide(MinimizeButton, Qt::WindowMinimizeButtonHint, 18);
    decide(MaximizeButton, Qt::WindowMaximizeButtonHint, 18);
    FButtonState[CloseButton] = cbsNormal;
}

void TFormCaption::DockToOwner() {
    if (FOwnerForm)
        setGeometry(0, 0, FOwnerForm->width(), BarHeight);
}

bool TFormCaption::eventFilter(QObject* watched, QEvent* event) {
    if (watched == FOwnerForm && event->type() == QEvent::Resize)
        DockToOwner();
    return QWidget::eventFilter(watched, event);
}

void TFormCaption::setCaption(const QString& caption) {
    if (caption == FCaption)
        return;
    FCaption = caption;
    update();
}

void TFormCaption::setColor(QColor color) {
    FColor = color;
    update();
}

void TFormCaption::setFont(const QFont& font) {
    FFont = font;
    update();
}

void TFormCaption::setFormColor(QColor color) {
    FFormColor = color;
    update();
}

void TFormCaption::setIconBitmap(const QImage& image) {
    FIconBitmap = image;
    update();
}

int TFormCaption::ButtonLeft(Button button) const {
    // Laid out from the right at the current width: close, maximise, minimise, help.
    const int closeLeft = width() - kButtonSize - 5 - FrameInset;
    if (button == CloseButton)
        return closeLeft;
    int x = closeLeft - 22;
    if (FButtonState[MaximizeButton] != cbsAbsent) {
        if (button == MaximizeButton)
            return x;
        x -= 22;
    }
    if (FButtonState[MinimizeButton] != cbsAbsent) {
        if (button == MinimizeButton)
            return x;
        x -= 22;
    }
    return x - 8;
}

QRect TFormCaption::ButtonRect(Button button) const {
    if (FButtonState[button] == cbsAbsent)
        return QRect();
    const int left = ButtonLeft(button), top = FrameInset + 4;
    return RectLTRB(left, top, left + kButtonSize, top + kButtonSize);
}

QRect TFormCaption::TitleRect() const {
    return RectLTRB(FrameInset, FrameInset, width() - FButtonAreaWidth - FrameInset, height());
}

bool TFormCaption::Hits(Button button, int x) const {
    if (FButtonState[button] == cbsAbsent)
        return false;
    const int left = ButtonLeft(button);
    return left <= x && x <= left + kButtonSize; // the right edge counts; rows do not matter
}

void TFormCaption::SetStatesAt(int x, ButtonState hit) {
    bool changed = false;
    for (int i = 0; i < 4; ++i) {
        const auto button = Button(i);
        if (FButtonState[i] == cbsAbsent)
            continue;
        const ButtonState next = Hits(button, x) ? hit : cbsNormal;
        changed |= next != FButtonState[i];
        FButtonState[i] = next;
    }
    if (changed)
        update();
}

void TFormCaption::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int inset = FrameInset;
    const QRect title = TitleRect();
    FillRoundRect(painter, title, 3, 3, FColor, PlatformColor(skin::DarkOrangeOutline), 1);
    painter.setFont(FFont);
    painter.setPen(black());
    painter.setBrush(Qt::NoBrush);
    if (!FIconBitmap.isNull()) {
        WideTextRect(painter, title, inset + 25, inset, FCaption);
        // Measured in device-independent pixels, so a 32 x 32 picture for ratio 2 counts
        // as 16 x 16 and is drawn as it is.
        const QSizeF size = FIconBitmap.deviceIndependentSize();
        if (size.width() > 16 || size.height() > 16)
            painter.drawImage(RectLTRB(inset + 3, inset + 3, inset + 19, inset + 19), FIconBitmap);
        else
            painter.drawImage(QPoint(inset + 3, inset + 3), FIconBitmap);
    } else {
        WideTextRect(painter, title, inset + 8, inset, FCaption);
    }
    DrawButtons(painter);
}

void TFormCaption::DrawButtons(QPainter& painter) {
    const QColor outline = PlatformColor(skin::DarkOrangeOutline);
    for (int i = 0; i < 4; ++i) {
        const auto button = Button(i);
        if (FButtonState[i] == cbsAbsent)
            continue;
        const QRect r = ButtonRect(button);
        // Exclusive edges, as the glyph coordinates are written.
        const int left = r.left(), top = r.top(), right = left + kButtonSize,
                  bottom = top + kButtonSize;
        const QRect pad = RectLTRB(left - 2, top - 2, right + 2, bottom + 2);
        switch (FButtonState[i]) {
        case cbsHover:
            FillRoundRect(painter, pad, 2, 2, FColor, outline, 1);
            break;
        case cbsPressed:
            FillRoundRect(painter, pad, 2, 2, outline, outline, 1);
            break;
        default:
            FillRoundRect(painter, pad, 2, 2, FFormColor, FFormColor, 1);
            break;
        }
        switch (button) {
        case HelpButton: {
            QFont font(QStringLiteral("Times New Roman"));
            font.setPixelSize(15); // 11 pt at 96 dots per inch
            font.setBold(true);
            painter.setFont(font);
            painter.setPen(black());
            painter.setBrush(Qt::NoBrush);
            FillRoundRect(painter, RectLTRB(left, top, right, bottom), 2, 2, QColor(), black(), 1);
            WideTextRect(painter, rect(), left + 5, top - 2, QStringLiteral("i"));
            DrawLineTo(painter, QPoint(right + 8, top + 1), QPoint(right + 8, bottom - 1), black());
            break;
        }
        case MinimizeButton:
            painter.fillRect(RectLTRB(left + 1, bottom - 5, right - 3, bottom - 1), black());
            break;
        case MaximizeButton:
            if (FShowState == ssMaximized) {
                painter.fillRect(RectLTRB(left + 1, top + 1, right - 1, top + 4), black());
                painter.fillRect(RectLTRB(left + 1, bottom - 4, right - 1, bottom - 1), black());
            } else {
                painter.fillRect(RectLTRB(left + 1, top + 1, right - 1, top + 5), black());
            }
            FillRoundRect(painter, RectLTRB(left + 1, top + 1, right - 1, bottom - 1), 0, 0,
                          QColor(), black(), 1);
            break;
        case CloseButton:
            DrawLineTo(painter, QPoint(left + 2, top + 2), QPoint(right - 2, bottom - 2), black(),
                       2);
            DrawLineTo(painter, QPoint(right - 2, top + 2), QPoint(left + 2, bottom - 2), black(),
                       2);
            break;
        }
    }
}

void TFormCaption::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    DownX = p.x();
    DownY = p.y();
    FSystemMoveStarted = false;
    SetStatesAt(p.x(), cbsPressed);
}

// A double click is two presses and releases, nothing more: it does not maximise.
void TFormCaption::mouseDoubleClickEvent(QMouseEvent* event) {
    mousePressEvent(event);
}

void TFormCaption::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if ((event->buttons() & Qt::LeftButton) && FOwnerForm && p.x() < width() - FButtonAreaWidth) {
        if (windowSystemMoves()) {
            // The compositor takes the drag over from here until the button is released.
            if (!FSystemMoveStarted && FOwnerForm->windowHandle())
                FSystemMoveStarted = FOwnerForm->windowHandle()->startSystemMove();
        } else {
            // The press point is kept: the bar moves with the window, so the pointer stays
            // over the same point of the bar.
            FOwnerForm->move(FOwnerForm->pos() + p - QPoint(DownX, DownY));
        }
    }
    SetStatesAt(p.x(), cbsHover);
}

void TFormCaption::mouseReleaseEvent(QMouseEvent* event) {
    const int x = event->position().toPoint().x();
    QPointer<TFormCaption> self(this); // a close may take the bar with it
    if (FOwnerForm) {
        if (Hits(HelpButton, x)) {
            if (FPopupMenu) {
                const QRect r = ButtonRect(HelpButton);
                FPopupMenu->popup(mapToGlobal(QPoint(r.left() + kButtonSize, r.top())));
            } else {
                DoHelpButton();
            }
        } else if (Hits(MinimizeButton, x)) {
            FShowState = ssMinimized;
            if (isSignalConnected(QMetaMethod::fromSignal(&TFormCaption::minimizeClicked)))
                emit minimizeClicked();
            else
                FOwnerForm->showMinimized();
        } else if (Hits(MaximizeButton, x)) {
            if (FShowState == ssMaximized) {
                FShowState = ssNormal;
                if (isSignalConnected(QMetaMethod::fromSignal(&TFormCaption::restoreClicked)))
                    emit restoreClicked();
                else
                    FOwnerForm->showNormal();
            } else {
                FShowState = ssMaximized;
                if (isSignalConnected(QMetaMethod::fromSignal(&TFormCaption::maximizeClicked)))
                    emit maximizeClicked();
                else
                    FOwnerForm->showMaximized();
            }
            if (self && FOwnerForm)
                FOwnerForm->update(); // the frame follows the new size
        } else if (Hits(CloseButton, x)) {
            if (isSignalConnected(QMetaMethod::fromSignal(&TFormCaption::closeClicked)))
                emit closeClicked();
            else
                FOwnerForm->close();
        }
    }
    if (self)
        SetStatesAt(x, cbsHover);
}

void TFormCaption::enterEvent(QEnterEvent*) {
    DoMouseEnter();
}

void TFormCaption::leaveEvent(QEvent*) {
    bool changed = false;
    for (ButtonState& state : FButtonState)
        if (state != cbsAbsent) {
            changed |= state != cbsNormal;
            state = cbsNormal;
        }
    if (changed)
        update();
    DoMouseLeave();
}

void TFormCaption::DoHelpButton() {
    emit helpClicked();
}
void TFormCaption::DoMouseEnter() {
    emit mouseEntered();
}
void TFormCaption::DoMouseLeave() {
    emit mouseLeft();
}

} // namespace quillet
