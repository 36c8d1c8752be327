// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

// The program's one global hotkey: a key combination that reaches the dictionary whichever
// application has the keyboard. Keys use the platform-neutral encoding of options.ini: a
// Windows virtual-key code and the modifier bits 1 Alt, 2 Ctrl, 4 Shift, 8 Super, so a settings
// file works on every platform. One implementation per platform, picked by the build.
//
// UI thread only; OnPressed runs on the UI thread from the event loop.
namespace quillet {

inline constexpr std::uint16_t kModAlt = 1;
inline constexpr std::uint16_t kModCtrl = 2;
inline constexpr std::uint16_t kModShift = 4;
inline constexpr std::uint16_t kModWin = 8; // the Windows key, X11's Super

class TGlobalHotkey {
public:
    virtual ~TGlobalHotkey() = default; // releases a registered combination

    // False when the window system offers no global hotkeys at all (a Wayland session,
    // also for a program on XWayland); Register then always fails.
    virtual bool Available() const = 0;
    // Releases the current combination, if any, and grabs this one. False when the key
    // has no equivalent here or another program holds the combination already.
    virtual bool Register(std::uint16_t virtualKey, std::uint16_t modifiers) = 0;
    // Releases the combination; nothing when none is registered.
    virtual void Unregister() = 0;

    // True while a key of the registered combination is still down where synthetic keys
    // sent now would not reach the application in front as plain copy keys: on X11 the
    // grab holds the keyboard until the key is up, and held modifiers join the keys.
    // Windows grabs nothing, so there it is always false.
    virtual bool Held() = 0;

    // Called for each press of the registered combination.
    std::function<void()> OnPressed;
};

std::unique_ptr<TGlobalHotkey> CreateGlobalHotkey();

} // namespace quillet
