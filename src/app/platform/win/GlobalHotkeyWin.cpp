// SPDX-License-Identifier: GPL-2.0-or-later
#include "GlobalHotkey.h"

#include "WinApi.h"

// RegisterHotKey with identifier 0 on a message-only window of this object's own, so that
// the hotkey needs nothing from the widget toolkit: WM_HOTKEY is posted to the thread's
// queue, and the toolkit's event loop dispatches it to the window procedure below like
// any other message of the thread. The modifier bits of the settings are Windows' own.
namespace quillet {
namespace {

constexpr int kHotkeyId = 0;
constexpr wchar_t kWindowClass[] = L"QuilletDictionaryHotkey";

class TGlobalHotkeyWin final : public TGlobalHotkey {
public:
    TGlobalHotkeyWin() {
        const HINSTANCE instance = GetModuleHandleW(nullptr);
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = &TGlobalHotkeyWin::WindowProc;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = kWindowClass;
        // A second object finds the class registered already.
        if (RegisterClassExW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            return;
        FWindow = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  instance, nullptr);
        if (FWindow != nullptr)
            SetWindowLongPtrW(FWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }

    ~TGlobalHotkeyWin() override {
        Unregister();
        if (FWindow != nullptr)
            DestroyWindow(FWindow);
    }

    bool Available() const override { return FWindow != nullptr; }

    bool Register(std::uint16_t virtualKey, std::uint16_t modifiers) override {
        Unregister();
        if (FWindow == nullptr || virtualKey == 0 ||
            (modifiers & ~(kModAlt | kModCtrl | kModShift | kModWin)) != 0)
            return false;
        // MOD_NOREPEAT: a held key gives one lookup, not one per repeat.
        FRegistered = RegisterHotKey(FWindow, kHotkeyId, modifiers | MOD_NOREPEAT, virtualKey) != 0;
        return FRegistered;
    }

    bool Held() override { return false; }

    void Unregister() override {
        if (!FRegistered)
            return;
        UnregisterHotKey(FWindow, kHotkeyId);
        FRegistered = false;
    }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_HOTKEY && (wParam & 0xFFFF) == kHotkeyId) {
            auto* self =
                reinterpret_cast<TGlobalHotkeyWin*>(GetWindowLongPtrW(window, GWLP_USERDATA));
            if (self != nullptr && self->FRegistered && self->OnPressed)
                self->OnPressed();
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    HWND FWindow = nullptr;
    bool FRegistered = false;
};

} // namespace

std::unique_ptr<TGlobalHotkey> CreateGlobalHotkey() {
    return std::make_unique<TGlobalHotkeyWin>();
}

} // namespace quillet
