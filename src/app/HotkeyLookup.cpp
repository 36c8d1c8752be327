// SPDX-License-Identifier: GPL-2.0-or-later
#include "HotkeyLookup.h"

#include "Clipboard.h"
#include "TextTools.h"

#include <QTimer>

#include <algorithm>
#include <memory>

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
    ++FRun;
    FReadLeftMs = kReadBoundMs;
    if (FClipboard.SupportsSelection()) {
        readClipboard(true, [this](const QString& selected) { selectionRead(selected); });
    } else {
        selectionRead({});
    }
    return true;
}

void THotkeyLookup::readClipboard(bool selection, std::function<void(const QString&)> then) {
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    FClipboard.ReadText(selection, FReadLeftMs,
                        [this, run = FRun, timer, then = std::move(then)](const TStatus& status,
                                                                          const QString& text) {
                            if (run != FRun || !FRunning)
                                return;
                            FReadLeftMs = std::max(0, FReadLeftMs - int(timer->elapsed()));
                            if (!status.ok()) {
                                fail(status.message());
                                return;
                            }
                            then(text);
                        });
}

void THotkeyLookup::selectionRead(const QString& selected) {
    if (!Trim(selected).isEmpty()) {
        // The selection is the word; the clipboard stays as it is, nothing to put back.
        finish(WordOf(selected));
        return;
    }
    readClipboard(false, [this](const QString& before) {
        FBefore = before;
        FSaved = Trim(FBefore);
        QTimer::singleShot(FDelay1, this, &THotkeyLookup::copy);
    });
}

void THotkeyLookup::copy() {
    if (KeysHeld && KeysHeld()) {
        QTimer::singleShot(20, this, &THotkeyLookup::copy);
        return;
    }
    FDesktop.PostCopyRequest(FForeignWindow);
    FDesktop.SendCopyKeys(FDelay2);
    QTimer::singleShot(FDelay3, this, [this] {
        readClipboard(false, [this](const QString& text) { copied(text); });
    });
}

void THotkeyLookup::copied(const QString& text) {
    const bool hasText = !text.isEmpty();
    // Put back only what the copy replaced; an untouched clipboard stays as it is, with
    // whatever other formats it holds.
    if (hasText && !FSaved.isEmpty() && Trim(text) != FSaved) {
        if (TStatus status = FClipboard.PutText(FSaved); !status.ok()) {
            fail(status.message());
            return;
        }
    }
    finish(hasText ? WordOf(text) : QString());
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
