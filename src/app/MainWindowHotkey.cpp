// SPDX-License-Identifier: GPL-2.0-or-later
// The global hotkey: pressed anywhere, it looks up the word selected in the application in
// front; pressed while the dictionary is the active window, it hides the dictionary again.
#include "MainWindow.h"

#include "Clipboard.h"
#include "FormStatusbar.h"
#include "HotkeyLookup.h"
#include "Translations.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

namespace quillet {

void TMainForm::CreateHotkey() {
    FDesktop = CreateDesktopWindows();
    FHotkey = CreateGlobalHotkey();
    FHotkeyLookup = new THotkeyLookup(*FDesktop, ClipboardInstance(), FSettings.CopyDelay1,
                                      FSettings.CopyDelay2, FSettings.CopyDelay3, this);
    FHotkeyLookup->KeysHeld = [this] { return FHotkey->Held(); };
    FHotkeyLookup->BringUp = [this](const QString& word) { HotkeyBringUp(word); };
    FHotkeyLookup->OnError = [this](const QString& message) {
        QMessageBox::warning(this, windowTitle(), Translate(message));
    };
    // Out of the platform's event handling first: the lookup reads the clipboard, which
    // may wait for other programs' answers.
    FHotkey->OnPressed = [this] { QTimer::singleShot(0, this, &TMainForm::HotkeyPressed); };
    RegisterHotkey();
    if (!HotkeyNote().isEmpty() && IsLoading()) {
        // Said once, beside what the first load found. Without a dictionary to load, the
        // status line keeps saying that instead.
        connect(
            this, &TMainForm::loadFinished, this, [this] { ShowHotkeyNote(); },
            Qt::SingleShotConnection);
    }
}

QString TMainForm::HotkeyNote() const {
    if (!FHotkey->Available())
        return Translate(QStringLiteral("Tastaturkürzel nicht verfügbar"));
    if (FSettings.HotKeyChar == 0)
        return Translate(QStringLiteral("Kein Tastaturkürzel festgelegt"));
    return {};
}

void TMainForm::ShowHotkeyNote() {
    const QString note = HotkeyNote();
    if (!note.isEmpty() && !FStatusbar->Caption().endsWith(note))
        SetStatusText(FStatusbar->Caption() + QStringLiteral(" \u2013 ") + note);
}

void TMainForm::RegisterHotkey() {
    FHotkeyLookup->SetDelays(FSettings.CopyDelay1, FSettings.CopyDelay2, FSettings.CopyDelay3);
    // A combination another program holds is not reported: the hotkey then does nothing.
    (void)FHotkey->Register(FSettings.HotKeyChar, FSettings.HotKeyMod);
}

void TMainForm::UnregisterHotkey() {
    FHotkey->Unregister();
}

TWindowId TMainForm::ForeignWindow() const {
    return FHotkeyLookup ? FHotkeyLookup->ForeignWindow() : 0;
}

void TMainForm::HotkeyPressed() {
    if (isActiveWindow() && isVisible()) {
        HideToTray();
        return;
    }
    FHotkeyLookup->Run();
}

void TMainForm::HotkeyBringUp(const QString& word) {
    if (!word.isEmpty()) {
        FSearchText->setEditText(word);
        // The finished search selects the whole text, so that typing replaces it.
        FSelectAfterSearch = true;
        if (!FSearchTimer.isActive())
            FSearchTimer.start();
    }
    BringUp();
    FocusSearchText();
}

} // namespace quillet
