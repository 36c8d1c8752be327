// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <functional>
#include <QAccessibleWidget>
#include <QString>
#include <QStringList>

// What assistive technology (a screen reader over AT-SPI or UI Automation) sees of the
// skinned controls, which paint their texts and buttons themselves and so have nothing
// for it to read by default:
//
// - a caption bar (TFormCaption) is a title bar named by its caption, with one push
//   button per caption button; pressing one clicks it;
// - a status bar (TFormStatusbar) is a status bar whose text is its caption;
// - a round button (TRoundButton) is a push button named by its caption;
// - a paint box (TPaintBoxEx) is a link (the main window's banner), pressed as a click.
//
// Names and descriptions set on the widgets (setAccessibleName, in the interface
// language) come first; the widgets' own captions stand in when none is set.
//
// UI thread only.
namespace quillet {

class TFormCaption;

// Registers the interfaces of the controls above with Qt; calling it again does nothing.
void InstallChromeAccessibility();

// The names of a caption bar's buttons, in this order: help (the menu), minimise,
// maximise, restore, close.
void SetCaptionButtonNames(TFormCaption* caption, const QStringList& names);

// A control that paints one line of text of its own (status line, pronunciation line):
// its text is the object's text (the text interface, read only) and its value; its name
// is the widget's accessible name, or the text when none is set.
class TPaintedTextAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    TPaintedTextAccessible(QWidget* widget, QAccessible::Role role,
                           std::function<QString()> shownText);

    QString text(QAccessible::Text kind) const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    // QAccessibleTextInterface: the shown text, with no caret and no selection.
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

private:
    std::function<QString()> FShownText;
};

// Tells assistive technology that a painted text changed from `before` to `after`.
void NotifyPaintedTextChanged(QWidget* widget, const QString& before, const QString& after);

// The one road of the events the program's own interfaces send: to Qt's accessibility
// (which passes them on only while assistive technology listens) and to the observer,
// when one is set. Widget tests observe them so on platforms without an accessibility
// bridge (offscreen), where Qt drops every event.
using TAccessibilityObserver = void (*)(QAccessibleEvent* event);
void SetAccessibilityObserver(TAccessibilityObserver observer);
// True when an event sent now reaches anybody.
bool AccessibilityListening();
void SendAccessibilityEvent(QAccessibleEvent* event);

} // namespace quillet
