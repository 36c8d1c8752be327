// SPDX-License-Identifier: GPL-2.0-or-later
#include "HotkeyLookup.h"

#include "Clipboard.h"
#include "TextTools.h"

#include <QTimer>

#include <algorithm>

namespace quillet {

THotkeyLookup::THotkeyLookup(TDesktopWindows& desktop, TClipboard& clipboard, int delay1,
                             int delay2, int delay3, QObject* parent)
    : QObject(parent), FDesktop(desktop), FClipboard(clipboard) {
    SetDelays(delay1, delay2, delay3);
}

void THotkeyLookup::SetDelays(int delay1, int delay2, int delay3) {
    FDelay1 = std::max(delay1, 0);
    FDelay2 = std::max(delay2, 0);
    FDelay3 = std::max(delay3, 0);
}

QString THotkeyLookup::WordOf(const QString& text) {
    const QString word = Trim(text);
    // Characters, not UTF-16 units: a letter outside the basic plane counts once.
    const qsizetype length = word.toUcs4().size();
    if (length < 2 || length > 19)
        return {};
    // A line break or tab inside is as much a second word as a blank.
    for (const QChar c : word) {
        if (c.unicode() < 33 || c.isSpace())
            return {};
    }
    return word;
}

bool THotkeyLookup::Run() {
    if (FRunning)
        return false;
    TWindowId target = FDesktop.GetFocusedForeignWindow();
    if (target == 0)
        target = FDesktop.ForegroundWindow();
    FForeignWindow = target;
    if (target == 0) {
        finish({});
        return true;
    }
    FRunning = true;
    if (TStatus status = FClipboard.GetText(FBefore); !status.ok()) {
        fail(status.message());
        return true;
    }
    FSaved = Trim(FBefore);
    QTimer::singleShot(FDelay1, this, &THotkeyLookup::copy);
    return true;
}

void THotkeyLookup::copy() {
    FChangesBefore = FClipboard.ChangeCount();
    FDesktop.PostCopyRequest(FForeignWindow);
    FDesktop.SendCopyKeys(FDelay2);
    QTimer::singleShot(FDelay3, this, &THotkeyLookup::read);
}

void THotkeyLookup::read() {
    QString copied;
    if (TStatus status = FClipboard.GetText(copied); !status.ok()) {
        fail(status.message());
        return;
    }
    const bool hasText = FClipboard.ContainsText();
    const bool changed = FClipboard.ChangeCount() != FChangesBefore || copied != FBefore;

    QString word = hasText ? WordOf(copied) : QString();
    if (!changed && FClipboard.SupportsSelection()) {
        // X11 applications have no copy message and may ignore the keys; their selection
        // is in the primary selection anyway.
        QString selected;
        if (FClipboard.GetSelectionText(selected).ok() && !Trim(selected).isEmpty())
            word = WordOf(selected);
    }
    // Put back only what the copy replaced; an untouched clipboard stays as it is, with
    // whatever other formats it holds.
    if (hasText && !FSaved.isEmpty() && Trim(copied) != FSaved) {
        if (TStatus status = FClipboard.PutText(FSaved); !status.ok()) {
            fail(status.message());
            return;
        }
    }
    finish(word);
}

void THotkeyLookup::finish(const QString& word) {
    FRunning = false;
    if (BringUp)
        BringUp(word);
}

void THotkeyLookup::fail(const QString& message) {
    FRunning = false;
    if (OnError)
        OnError(message);
}

} // namespace quillet
