// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <cstdint>
#include <memory>

// What the hotkey lookup needs to know about, and do to, the windows of other
// applications: which window has the keyboard focus, asking it to copy its selection, and
// giving it the foreground back. One implementation per platform, picked by the build.
//
// UI thread only.
namespace quillet {

// A platform window handle (an HWND, an X11 window id); 0 is "no window".
using TWindowId = std::uintptr_t;

class TDesktopWindows {
public:
    virtual ~TDesktopWindows() = default;

    // The window that has the keyboard focus in the foreground application, or 0.
    virtual TWindowId GetFocusedForeignWindow() = 0;
    // The foreground (active) top-level window, or 0.
    virtual TWindowId ForegroundWindow() = 0;
    // Asks the window to copy its selection to the clipboard with the platform's copy
    // message, where there is one; nothing where there is none (X11).
    virtual void PostCopyRequest(TWindowId window) = 0;
    // Synthetic key strokes to the focused application: Ctrl down, Insert down, a pause of
    // `holdMs` milliseconds, Insert up, Ctrl up.
    virtual void SendCopyKeys(int holdMs) = 0;
    // Makes the window the foreground window again.
    virtual void Activate(TWindowId window) = 0;
};

std::unique_ptr<TDesktopWindows> CreateDesktopWindows();

} // namespace quillet
