// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "DesktopWindows.h"
#include "GlobalHotkey.h"

#include <functional>
#include <vector>

// Stand-ins for the platform's hotkey and window services, for tests that need no window
// system: they record what the program asked for, and the test plays the other
// application (a press of the hotkey, a copy into the clipboard).
namespace quillet {

class TFakeHotkey final : public TGlobalHotkey {
public:
    bool Available() const override { return IsAvailable; }
    bool Register(std::uint16_t virtualKey, std::uint16_t modifiers) override {
        Registrations.push_back({virtualKey, modifiers});
        Registered = IsAvailable && !Taken;
        return Registered;
    }
    void Unregister() override { Registered = false; }
    bool Held() override { return IsHeld; }

    // A press of the combination, as the window system would report it.
    void Press() {
        if (Registered && OnPressed)
            OnPressed();
    }

    struct TRegistration {
        std::uint16_t VirtualKey;
        std::uint16_t Modifiers;
    };
    bool IsAvailable = true;
    bool Taken = false; // another program holds every combination
    bool Registered = false;
    bool IsHeld = false;
    std::vector<TRegistration> Registrations;
};

class TFakeDesktopWindows final : public TDesktopWindows {
public:
    TWindowId GetFocusedForeignWindow() override { return Focused; }
    TWindowId ForegroundWindow() override { return Foreground; }
    void PostCopyRequest(TWindowId window) override { CopyRequests.push_back(window); }
    void SendCopyKeys(int holdMs) override {
        CopyKeys.push_back(holdMs);
        if (OnCopyKeys)
            OnCopyKeys();
    }
    void Activate(TWindowId window) override { Activated.push_back(window); }

    TWindowId Focused = 0;
    TWindowId Foreground = 0;
    // The application in front reacting to the copy keys, for example by putting its
    // selection on the clipboard.
    std::function<void()> OnCopyKeys;

    std::vector<TWindowId> CopyRequests;
    std::vector<int> CopyKeys; // hold time of each call
    std::vector<TWindowId> Activated;
};

} // namespace quillet
