// SPDX-License-Identifier: GPL-2.0-or-later
// The main window's life in the notification area: minimising hides the window and leaves
// the icon there; a double click on the icon brings the window back, a right click opens
// the main menu. Once added, the icon stays until the program ends.
#include "MainWindow.h"

#include <QApplication>
#include <QMenu>
#include <QSystemTrayIcon>

namespace quillet {

QIcon TMainForm::ProgramIcon() {
    // Every size of the icon theme, so that task bars, docks and the notification area
    // each get a sharp picture instead of a scaled 16-pixel one.
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/appicon/%1.png").arg(size), QSize(size, size));
    return icon;
}

void TMainForm::CreateTrayIcon() {
    // The window's icon (CreateChrome), so that its pictures are read and kept once.
    FTrayIcon = new QSystemTrayIcon(windowIcon().isNull() ? ProgramIcon() : windowIcon(), this);
    FTrayIcon->setToolTip(QStringLiteral("Quillet Dictionary"));
    FTrayIcon->setContextMenu(FMainMenu);
    connect(FTrayIcon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::DoubleClick)
                    BringUp();
            });
}

void TMainForm::ShowTrayIcon() {
    if (FTrayIconShown)
        return;
    FTrayIconShown = true;
    FTrayIcon->show();
}

void TMainForm::HideToTray() {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        // A desktop without a notification area: hidden, the window could come back only
        // through the hotkey, so it goes to the task bar instead.
        if (!isMinimized())
            showMinimized();
    } else {
        // Hidden rather than minimised to the task bar. A window the window manager
        // minimised is restored first: on X11 a window hidden while iconified comes back
        // iconified.
        if (windowState() & Qt::WindowMinimized)
            setWindowState(windowState() & ~Qt::WindowMinimized);
        hide();
        ShowTrayIcon();
    }
    // Back to the application from which the last hotkey lookup came.
    if (const TWindowId foreign = ForeignWindow(); foreign && FDesktop)
        FDesktop->Activate(foreign);
}

void TMainForm::BringUp() {
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

} // namespace quillet
