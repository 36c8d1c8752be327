// SPDX-License-Identifier: GPL-2.0-or-later
// The main window's settings dialog and update check.
#include "MainWindow.h"

#include "OptionsForm.h"
#include "PronFont.h"
#include "PronPanel.h"
#include "ResultGrid.h"
#include "Translations.h"
#include "UpdateCheck.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace quillet {

void TMainForm::miOptionsWinClick() {
    // The hotkey is released while the dialog is open, so that it can be typed into the
    // hotkey box, and registered again afterwards, with the new combination when changed.
    UnregisterHotkey();
    // Built at its first opening: its font lists check every installed font, which
    // start-up need not wait for.
    if (!FOptionsWin)
        FOptionsWin = new TOptionsWin(this);
    const TOptionsResult result = FOptionsWin->Execute(FSettings, FAutorunState, *FAutorun,
                                                       QCoreApplication::applicationFilePath());
    if (result != TOptionsResult::Cancelled) {
        FResultGrid->SetGridFont(QFont(FSettings.GridFontName, FSettings.GridFontSize));
        FPronPanel->SetPronFont(ResolvePronunciationFont(FSettings.PronFontName,
                                                         FSettings.PronFontSize, FProgramFolder));
        SetGridCaptions();
        FillResultGrid(-1);
        update();
        if (result == TOptionsResult::AutorunFailed)
            QMessageBox::warning(
                this, windowTitle(),
                Translate(QStringLiteral("Start mit dem System konnte nicht geändert werden")));
    }
    RegisterHotkey();
    ShowHotkeyNote();
}

void TMainForm::miSearchUpdateClick() {
    if (!FUpdateCheck) {
        FUpdateCheck = new TUpdateCheck(this);
        // Queued: the box opens once the network code has returned.
        connect(FUpdateCheck, &TUpdateCheck::finished, this, &TMainForm::UpdateCheckFinished,
                Qt::QueuedConnection);
    }
    // The service's address may be set by hand ("Update_Service"): scheme, host and port.
    const QUrl service =
        UpdateServiceUrl(QString::fromUtf8(FIni.ReadString(kIniDictionary, "Update_Service")));
    FUpdateCheck->Start(service, QStringLiteral(QUILLET_VERSION), QStringLiteral(QUILLET_BUILD));
}

void TMainForm::UpdateCheckFinished(const TUpdateResult& result) {
    if (FClosing)
        return;
    if (ShowUpdateResult(this, result))
        close(); // the download page is open: the new version replaces this one
}

} // namespace quillet
