// SPDX-License-Identifier: GPL-2.0-or-later
// The main window's command keys, so that every command is reachable without a mouse:
// F10 and the Menu key open the main menu, Ctrl+Q closes the program as the caption bar's
// close button does (with the close question), Ctrl+L and Alt+D go to the search box with
// its text selected, F1 opens the about window, Alt+1 to Alt+5 choose the suggestions of
// the line above the grid, Ctrl+Space reads the current headword (or the word hovered in
// the grid) aloud. In the result grid the Menu key is the
// grid's own (the menu of the focused row), so it is left to the grid there.
#include "MainWindow.h"

#include "FormCaption.h"
#include "ResultGrid.h"
#include "SearchBox.h"
#include "Suggest.h"
#include "SuggestionStrip.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>

namespace quillet {

bool TMainForm::CommandKey(QKeyEvent* key) {
    const Qt::KeyboardModifiers modifiers =
        key->modifiers() &
        (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const bool plain = modifiers == Qt::NoModifier;
    const bool inGrid = QApplication::focusWidget() == FResultGrid;
    if ((key->key() == Qt::Key_F10 && plain) || (key->key() == Qt::Key_Menu && !inGrid)) {
        OpenMainMenuFromKeyboard();
        return true;
    }
    if (modifiers == Qt::ControlModifier && key->key() == Qt::Key_Q) {
        // Queued: the question, when it is asked, must not run inside the key's delivery.
        QMetaObject::invokeMethod(this, &TMainForm::FormCaptionCloseForm, Qt::QueuedConnection);
        return true;
    }
    if ((modifiers == Qt::ControlModifier && key->key() == Qt::Key_L) ||
        (modifiers == Qt::AltModifier && key->key() == Qt::Key_D)) {
        FSearchText->setFocus(Qt::ShortcutFocusReason);
        FSearchText->lineEdit()->selectAll();
        return true;
    }
    if (modifiers == Qt::AltModifier && key->key() >= Qt::Key_1 &&
        key->key() < Qt::Key_1 + TSuggester::kMaxSuggestions) {
        // Taken also when there is no such suggestion: Alt+digit means nothing else here.
        FSuggestionStrip->Choose(key->key() - Qt::Key_1);
        return true;
    }
    if (modifiers == Qt::ControlModifier && key->key() == Qt::Key_Space) {
        SpeakWordOf(FSpeakWord, FSpeakLanguage);
        return true;
    }
    if (key->key() == Qt::Key_F1 && plain) {
        QMetaObject::invokeMethod(this, &TMainForm::miAboutClick, Qt::QueuedConnection);
        return true;
    }
    return false;
}

void TMainForm::OpenMainMenuFromKeyboard() {
    // Where the caption bar's help button opens it, with its first item active so that
    // the arrow keys start there.
    const QRect help = FFormCaption->ButtonRect(TFormCaption::HelpButton);
    const QPoint at = help.isEmpty() ? mapToGlobal(QPoint(12, TFormCaption::BarHeight))
                                     : FFormCaption->mapToGlobal(help.bottomLeft());
    FMainMenu->popup(at);
    // As the Down key does: setActiveAction would also open the first item's submenu at
    // once and hand it the keys, so the arrows would move inside "Sprache".
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QCoreApplication::sendEvent(FMainMenu, &down);
}

} // namespace quillet
