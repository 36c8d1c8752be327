// SPDX-License-Identifier: GPL-2.0-or-later
#include "DesktopWindows.h"

#include "WinApi.h"

// The focus window of another application is visible only to a thread that shares its
// input state, so the queries attach this thread's input to the foreground thread for a
// moment and always detach again.
namespace quillet {
namespace {

HWND toHandle(TWindowId window) {
    return reinterpret_cast<HWND>(window);
}
TWindowId toId(HWND window) {
    return reinterpret_cast<TWindowId>(window);
}

// Runs `work` with this thread's input attached to the thread that owns `window`; false
// when the attachment was refused. A window of this thread needs no attachment.
template <typename Work> bool withInputOf(HWND window, Work work) {
    const DWORD foreign = GetWindowThreadProcessId(window, nullptr);
    const DWORD own = GetCurrentThreadId();
    if (foreign == 0)
        return false;
    if (foreign == own) {
        work();
        return true;
    }
    if (!AttachThreadInput(foreign, own, TRUE))
        return false;
    work();
    AttachThreadInput(foreign, own, FALSE);
    return true;
}

void keyEvent(WORD virtualKey, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = 0;
    input.ki.dwFlags = flags;
    SendInput(1, &input, sizeof(INPUT));
}

class TDesktopWindowsWin final : public TDesktopWindows {
public:
    TWindowId GetFocusedForeignWindow() override {
        if (const HWND focus = GetFocus())
            return toId(focus);
        const HWND foreground = GetForegroundWindow();
        if (foreground == nullptr)
            return 0;
        HWND focus = nullptr;
        if (!withInputOf(foreground, [&] { focus = GetFocus(); }))
            return 0;
        return toId(focus);
    }

    TWindowId ForegroundWindow() override { return toId(GetForegroundWindow()); }

    void PostCopyRequest(TWindowId window) override {
        if (window != 0)
            PostMessageW(toHandle(window), WM_COPY, 0, 0);
    }

    void SendCopyKeys(int holdMs) override {
        keyEvent(VK_CONTROL, 0);
        keyEvent(VK_INSERT, 0);
        if (holdMs > 0)
            Sleep(static_cast<DWORD>(holdMs));
        keyEvent(VK_INSERT, KEYEVENTF_KEYUP);
        keyEvent(VK_CONTROL, KEYEVENTF_KEYUP);
    }

    void Activate(TWindowId window) override {
        const HWND target = toHandle(window);
        if (target == nullptr || !IsWindow(target))
            return;
        // The window is the focused control of the other application: the foreground
        // belongs to its top-level window, the focus then goes back to the control, which
        // SetFocus reaches only while this thread shares the input state of its thread.
        HWND topLevel = GetAncestor(target, GA_ROOT);
        if (topLevel == nullptr)
            topLevel = target;
        auto activate = [&] {
            SetForegroundWindow(topLevel);
            SetFocus(target);
        };
        if (!withInputOf(target, activate))
            SetForegroundWindow(topLevel);
    }
};

} // namespace

std::unique_ptr<TDesktopWindows> CreateDesktopWindows() {
    return std::make_unique<TDesktopWindowsWin>();
}

} // namespace quillet
