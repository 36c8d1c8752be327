// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <array>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QMenu>
#include <QPointer>
#include <QRect>
#include <QWidget>

namespace quillet {

// `TFormCaption`: the title strip of a frameless top-level window. It docks to the top of
// its owner (full width, 29 pixels), paints the title, an optional 16-pixel icon and up to
// four caption buttons (help, minimise, maximise/restore, close), lets the user drag the
// owner by the strip, and carries the owner's frame skin and corner radius for the
// owner's own painting (PaintSkinFrame, SetRoundWindowRegion).
//
// Which buttons exist is read once, at construction, from the owner's window flags:
// Qt::WindowContextHelpButtonHint, Qt::WindowMinimizeButtonHint and
// Qt::WindowMaximizeButtonHint; the close button always exists.
//
// Button actions are signals. A signal nobody is connected to falls back to the plain
// window operation (close, showMinimized, showMaximized, showNormal), so a window only
// wires what it wants to handle itself, e.g. minimising into the notification area.
//
// UI thread only.
class TFormCaption : public QWidget {
    Q_OBJECT
public:
    enum Button { HelpButton = 0, MinimizeButton = 1, MaximizeButton = 2, CloseButton = 3 };
    enum ButtonState { cbsAbsent = -1, cbsNormal = 0, cbsHover = 1, cbsPressed = 2 };
    enum ShowStateValue : quint8 { ssNormal = 0, ssMinimized = 1, ssMaximized = 2 };

    static constexpr int FrameInset = 7;
    static constexpr int BarHeight = FrameInset + 22;

    // `owner` must be a top-level window; anything else throws std::invalid_argument
    // with "Owner must be a TForm!" before the bar exists.
    explicit TFormCaption(QWidget* owner);

    QString Caption() const { return FCaption; }
    void setCaption(const QString& caption);
    QColor Color() const { return FColor; }
    void setColor(QColor color);
    QFont Font() const { return FFont; }
    void setFont(const QFont& font);
    QColor FormColor() const { return FFormColor; }
    void setFormColor(QColor color);
    QWidget* OwnerForm() const { return FOwnerForm; }
    QMenu* PopupMenu() const { return FPopupMenu; }
    void setPopupMenu(QMenu* menu) { FPopupMenu = menu; }
    QImage IconBitmap() const { return FIconBitmap; }
    void setIconBitmap(const QImage& image);
    // Stored for the owner; the bar never draws it.
    QImage SkinBitmap() const { return FSkinBitmap; }
    void setSkinBitmap(const QImage& image) { FSkinBitmap = image; }
    // The owner's frame skin, read by the owner's painting.
    QImage WindowBitmap() const { return FWindowBitmap; }
    void setWindowBitmap(const QImage& image) { FWindowBitmap = image; }
    // The owner's corner radius (the corner ellipse's size), read by the owner's shaping.
    int WindowRadius() const { return FWindowRadius; }
    void setWindowRadius(int radius) { FWindowRadius = radius; }

    // Geometry and state, for the owner and the tests.
    int ButtonAreaWidth() const { return FButtonAreaWidth; }
    ButtonState State(Button button) const { return FButtonState[button]; }
    // The button's rectangle at the current width (right and bottom exclusive, as the
    // glyphs are laid out); an absent button gives an empty rectangle.
    QRect ButtonRect(Button button) const;
    // Where the title is drawn: the rounded orange strip.
    QRect TitleRect() const;
    ShowStateValue ShowState() const { return FShowState; }

signals:
    // Help button released with no popup menu set (the DoHelpButton notification).
    void helpClicked();
    void minimizeClicked();
    void maximizeClicked();
    void restoreClicked();
    // Close button released; replaces the default close when connected.
    void closeClicked();
    void mouseEntered();
    void mouseLeft();

protected:
    // Notification points a subclass may take over.
    virtual void DoHelpButton();
    virtual void DoMouseEnter();
    virtual void DoMouseLeave();

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void LayoutButtons();
    void DrawButtons(QPainter& painter);
    // Hover (or, for a press, pressed) for the buttons whose columns hold x, normal for
    // the others; repaints when anything changed.
    void SetStatesAt(int x, ButtonState hit);
    int ButtonLeft(Button button) const;
    bool Hits(Button button, int x) const;
    void DockToOwner();

    QString FCaption;
    QColor FColor;
    QFont FFont;
    QColor FFormColor;
    QPointer<QWidget> FOwnerForm;
    QPointer<QMenu> FPopupMenu;
    QImage FIconBitmap, FSkinBitmap, FWindowBitmap;
    int FWindowRadius = 8;
    int FButtonAreaWidth = 40;
    std::array<ButtonState, 4> FButtonState{cbsAbsent, cbsAbsent, cbsAbsent, cbsNormal};
    int DownX = 0, DownY = 0;
    ShowStateValue FShowState = ssNormal;
    bool FSystemMoveStarted = false;
};

} // namespace quillet
