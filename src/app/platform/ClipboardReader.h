// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <string>

// Reading the text of the window system's clipboard, or of its primary selection, without
// waiting on the UI thread for the program that owns it. On X11 the owner is another
// client that converts the text when asked, and one that does not answer would otherwise
// hold up the window for as long as the toolkit waits (5 s per conversion); here the
// conversion runs from the event loop and gives up after a bound. On Windows the text is
// read from the clipboard at once, as the clipboard holds it already.
//
// Free of Qt in its interface. One implementation per platform, picked by the build. UI
// thread only; create it once the application object exists.
namespace quillet {

enum class TClipboardSource { Clipboard, Selection };

enum class TClipboardRead {
    Text,   // the text came
    NoText, // no owner, or it offers no text
    Failed, // the clipboard could not be opened, or the owner gave no answer in time
};

class TClipboardReader {
public:
    virtual ~TClipboardReader() = default; // drops a read under way without calling it back

    // False where this window system has no reader here (no X connection: the offscreen
    // platform, Wayland); the caller then reads through the toolkit.
    virtual bool Available() const = 0;

    // Starts reading `source`: `done` gets the result and the text as UTF-8, from the
    // event loop or, where the text is at hand at once, before Read returns. A read still
    // under way is dropped without a call. `timeoutMs` bounds the whole read.
    virtual void Read(TClipboardSource source, int timeoutMs,
                      std::function<void(TClipboardRead, const std::string& utf8)> done) = 0;
};

std::unique_ptr<TClipboardReader> CreateClipboardReader();

} // namespace quillet
