// SPDX-License-Identifier: GPL-2.0-or-later
// The main window's keys, activation and closing.
#include "MainWindow.h"

#include "FormStatusbar.h"
#include "IndexLoader.h"
#include "ResultGrid.h"
#include "SearchBox.h"
#include "Translations.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QSplitter>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWheelEvent>

namespace quillet {

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::Wheel && watched == FSearchText) {
        // The wheel over the search box scrolls the results instead of paging the history.
        wheelEvent(static_cast<QWheelEvent*>(event));
        return true;
    }
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease)
        return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this)
        return QWidget::eventFilter(watched, event);

    // The search box's own handlers. Keys reach the combo box or its line edit, depending
    // on where the focus sits; the combo box passes them on without a second event.
    if (watched == FSearchText || watched == FSearchText->lineEdit()) {
        if (type == QEvent::KeyRelease) {
            if (!key->isAutoRepeat() || key->key() == Qt::Key_Backspace)
                SearchText_KeyUp(key);
            return false;
        }
        bool consumed = false;
        SearchText_KeyDown(key, consumed);
        if (consumed)
            return true;
    }
    if (type != QEvent::KeyPress || watched != QApplication::focusWidget())
        return false;

    // The window's keys, seen before the focused control.
    if (CommandKey(key))
        return true;
    if (key->key() == Qt::Key_Tab && (key->modifiers() & Qt::ControlModifier)) {
        SwitchDirection(true);
        return true; // a Tab would also move the focus away from the search box
    }
    if (key->key() == Qt::Key_Escape) {
        ++FEscapeCount;
        if (FEscapeCount == 1) {
            FSearchText->lineEdit()->selectAll();
            FSelectAfterSearch = false;
        } else {
            FEscapeCount = 0;
            HideToTray();
        }
    }
    return false;
}

void TMainForm::wheelEvent(QWheelEvent* event) {
    // The result grid scrolls, wherever on the window the wheel turns.
    event->setAccepted(FResultGrid->WheelScroll(event->angleDelta()));
}

void TMainForm::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowStateChange && isMinimized() && isVisible() &&
        QSystemTrayIcon::isSystemTrayAvailable()) {
        // Minimised by the window manager or the task bar: into the notification area
        // instead, once the state change has been handled.
        QTimer::singleShot(0, this, [this] {
            if (isMinimized() && isVisible())
                HideToTray();
        });
    }
    if (event->type() == QEvent::ActivationChange) {
        if (isActiveWindow() && FFirstActivation)
            FirstActivationWork();
        if (!FSearchText->currentText().isEmpty())
            FSearchText->lineEdit()->selectAll();
    }
    QWidget::changeEvent(event);
}

void TMainForm::FirstActivationWork() {
    FFirstActivation = false;
    // The hotkey note went after the report, in the language of its time.
    const QString note = HotkeyNote();
    const bool noted = !note.isEmpty() && FStatusbar->Caption().endsWith(note);
    ApplyUILanguage(ReadUILanguage(FIni));
    // The texts end as they would have, had the activation come before the load's report:
    // the report, load time included, in the interface language.
    if (FReportBeforeActivation && FDict && FDict->IsOpen() && !IsLoading()) {
        ShowLoadReport(*FReportBeforeActivation);
        if (noted)
            ShowHotkeyNote();
    }
    FReportBeforeActivation.reset();
}

void TMainForm::FormCaptionCloseForm() {
    if (FSettings.CloseQuestion &&
        QMessageBox::question(this, windowTitle(), Translate(QStringLiteral("Programm beenden")),
                              QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    close();
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (!FClosing) {
        FClosing = true;
        WriteSettingsAtClose();
    }
    event->accept();
    // The program ends with its main window, whichever road closed it. Qt quits by itself
    // only when the last visible window closes: a window hidden in the notification area
    // (closed from the icon's menu, by the update offer or by the session's end) would
    // leave the process running without a window and holding the single-instance guard.
    // Queued, so that a close before the event loop runs still ends it.
    QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

void TMainForm::WriteSettingsAtClose() {
    if (FDict) {
        FSettings.Name = FDict->BaseName().isEmpty() ? FSettings.Name : FDict->BaseName();
        FSettings.Direction = FDict->Direction();
    }
    FSettings.LastWord = FSearchText->currentText();
    // The position as start-up set it (the frame's), the size of the window's own area.
    FSettings.Left = pos().x();
    FSettings.Top = pos().y();
    FSettings.Width = width();
    FSettings.Height = height();
    FSettings.LeftPanel = FLeftPanelWidth;
    FSettings.History.clear();
    for (int i = 0; i < FSearchText->count(); ++i)
        FSettings.History.append(FSearchText->itemText(i));
    // A failed write ends the sequence; the program closes all the same.
    (void)FSettings.SaveAtClose(FIni);
}

} // namespace quillet
