// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "DesktopWindows.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <functional>

namespace quillet {

class TClipboard;

// The lookup behind the global hotkey: makes the application in front copy its selection,
// takes the copied text as the search word when it is one word of 2 to 19 characters,
// puts the user's previous clipboard text back, and hands the word to the main window,
// which brings itself up and searches. Knows no widgets; the main window decides before
// calling Run whether the press should rather hide it.
//
// Where the window system has a primary selection (X11), the text selected there is the
// word, and no keys are sent: synthetic copy keys reach terminals and editors as input
// (xterm turns Ctrl+Insert into "ESC [2;5~"). Only when the selection holds no text does
// the lookup take the copy road: the copy request and the copy keys, once the hotkey's
// keys are up (keys sent while they are held would reach the grab instead of the
// application, or carry the user's modifiers).
//
// The waits between the steps run on timers and the clipboard is read from the event
// loop, so the program keeps painting meanwhile; the reads of one lookup together wait at
// most kReadBoundMs for the owners' answers, after which the lookup fails with the
// clipboard's open error. A press during a running lookup is ignored.
//
// UI thread only. The callbacks run from the event loop, or from Run itself when there is
// no window to copy from.
class THotkeyLookup : public QObject {
    Q_OBJECT

public:
    // Milliseconds: before the copy request, how long the copy keys are held, and before
    // the clipboard is read.
    THotkeyLookup(TDesktopWindows& desktop, TClipboard& clipboard, int delay1, int delay2,
                  int delay3, QObject* parent = nullptr);

    void SetDelays(int delay1, int delay2, int delay3);

    // Starts a lookup; false (and nothing happens) while one is running.
    bool Run();
    bool Running() const { return FRunning; }

    // The window the last lookup copied from (0 when there was none): the window that gets
    // the foreground back when the dictionary hides. Kept until the next lookup.
    TWindowId ForeignWindow() const { return FForeignWindow; }

    // The search word of a copied text, or empty text when it is none: trimmed, 2 to 19
    // characters, no blank or other white space inside.
    static QString WordOf(const QString& text);

    // How long the clipboard reads of one lookup may wait in all.
    static constexpr int kReadBoundMs = 1000;

    // True while keys of the hotkey are still down; the copy keys wait for them. Unset:
    // never held.
    std::function<bool()> KeysHeld;

    // The end of a lookup that reached the clipboard: the word to search for, or empty
    // text to bring the window up without changing the search.
    std::function<void(const QString& wordOrEmpty)> BringUp;
    // The clipboard could not be read or written; the window is not brought up.
    std::function<void(const QString& message)> OnError;

private:
    void readClipboard(bool selection, std::function<void(const QString&)> then);
    void selectionRead(const QString& selected);
    void copy();
    void copied(const QString& text);
    void finish(const QString& word);
    void fail(const QString& message);

    TDesktopWindows& FDesktop;
    TClipboard& FClipboard;
    int FDelay1;
    int FDelay2;
    int FDelay3;
    bool FRunning = false;
    TWindowId FForeignWindow = 0;
    QString FBefore; // the clipboard text before the copy, as it was
    QString FSaved;  // the same, trimmed: what is put back
    int FReadLeftMs = kReadBoundMs;
    std::uint64_t FRun = 0; // the lookup a pending step belongs to
};

} // namespace quillet
