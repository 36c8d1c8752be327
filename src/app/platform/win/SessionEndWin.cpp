// SPDX-License-Identifier: GPL-2.0-or-later
#include "SessionEnd.h"

#include "WinApi.h"

#include <atomic>

// Two roads end the program from outside on Windows.
// - The end of the session reaches every top-level window as WM_ENDSESSION, and the
//   process is ended as soon as the message has been answered, so the close runs inside
//   it. Qt answers for its own windows too, but closes only the visible ones: a window
//   hidden in the notification area would end without writing its settings. A
//   message-only window, as the hotkey uses, gets no such broadcast, so this one is a
//   hidden top-level window of its own.
// - A console the program was started from sends Ctrl+C, Ctrl+Break and its closing to a
//   handler on a thread of the system's. The handler posts a message to that window, so
//   that the close runs on the UI thread; for the console's closing it waits until the
//   close has run, since the process ends when the handler returns.
namespace quillet {
namespace {

constexpr UINT kEndMessage = WM_APP + 1;
constexpr wchar_t kWindowClass[] = L"QuilletDictionarySessionEnd";
constexpr DWORD kConsoleCloseWaitMs = 4500; // Windows allows a console's handler 5 s

std::atomic<HWND> gWindow{nullptr};
std::atomic<HANDLE> gClosed{nullptr}; // manual-reset event: a request has run

BOOL WINAPI consoleHandler(DWORD event) {
    const HWND window = gWindow.load();
    if (window == nullptr)
        return FALSE;
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        PostMessageW(window, kEndMessage, 0, 0);
        return TRUE;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        PostMessageW(window, kEndMessage, 0, 0);
        if (const HANDLE closed = gClosed.load(); closed != nullptr)
            WaitForSingleObject(closed, kConsoleCloseWaitMs);
        return TRUE;
    default:
        return FALSE;
    }
}

class TSessionEndWin final : public TSessionEnd {
public:
    TSessionEndWin() {
        const HINSTANCE instance = GetModuleHandleW(nullptr);
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = &TSessionEndWin::WindowProc;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = kWindowClass;
        if (RegisterClassExW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            return;
        // WS_POPUP and never shown: no task bar button, no activation.
        FWindow = CreateWindowExW(WS_EX_TOOLWINDOW, kWindowClass, L"", WS_POPUP, 0, 0, 0, 0,
                                  nullptr, nullptr, instance, nullptr);
        if (FWindow == nullptr)
            return;
        SetWindowLongPtrW(FWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        gClosed.store(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        gWindow.store(FWindow);
        SetConsoleCtrlHandler(&consoleHandler, TRUE);
    }

    ~TSessionEndWin() override {
        if (FWindow == nullptr)
            return;
        SetConsoleCtrlHandler(&consoleHandler, FALSE);
        gWindow.store(nullptr);
        if (const HANDLE closed = gClosed.exchange(nullptr); closed != nullptr) {
            SetEvent(closed); // a handler still waiting goes on
            CloseHandle(closed);
        }
        DestroyWindow(FWindow);
    }

    void Listen(std::function<void()> onEnd) override {
        FOnEnd = std::move(onEnd);
        // A request that came before: out of this call, from the event loop.
        if (FPending && FWindow != nullptr)
            PostMessageW(FWindow, kEndMessage, 0, 0);
        FPending = false;
    }

private:
    void Run() {
        if (!FOnEnd) {
            FPending = true;
            return;
        }
        FOnEnd();
        if (const HANDLE closed = gClosed.load(); closed != nullptr)
            SetEvent(closed);
    }

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == kEndMessage || (message == WM_ENDSESSION && wParam != FALSE)) {
            auto* self =
                reinterpret_cast<TSessionEndWin*>(GetWindowLongPtrW(window, GWLP_USERDATA));
            if (self != nullptr)
                self->Run();
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    HWND FWindow = nullptr;
    std::function<void()> FOnEnd;
    bool FPending = false;
};

} // namespace

std::unique_ptr<TSessionEnd> CreateSessionEnd() {
    return std::make_unique<TSessionEndWin>();
}

} // namespace quillet
