// SPDX-License-Identifier: GPL-2.0-or-later
#include "DesktopWindows.h"

#include "XcbConnection.h"

#include <X11/keysym.h>
#include <xcb/xtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>

// The desktop as an EWMH window manager describes it: the active top-level window is the
// one named by _NET_ACTIVE_WINDOW on the root window, and a client asks for another one
// with a _NET_ACTIVE_WINDOW message to the root. X has no copy message, so the copy keys
// go through the XTest extension to whatever window has the input focus.
namespace quillet {
namespace {

template <typename T> using TReply = std::unique_ptr<T, decltype(&std::free)>;

class TDesktopWindowsX11 final : public TDesktopWindows {
public:
    TDesktopWindowsX11() : FConnection(QtXcbConnection()) {
        if (FConnection != nullptr)
            FActiveWindow = InternAtom(FConnection, "_NET_ACTIVE_WINDOW");
    }

    // The window manager's active window is the application's top-level window; the
    // focused widget inside it is the application's own affair.
    TWindowId GetFocusedForeignWindow() override { return ForegroundWindow(); }

    TWindowId ForegroundWindow() override {
        if (FConnection == nullptr || FActiveWindow == XCB_ATOM_NONE)
            return 0;
        for (const xcb_window_t root : RootWindows(FConnection)) {
            const auto cookie =
                xcb_get_property(FConnection, 0, root, FActiveWindow, XCB_ATOM_WINDOW, 0, 1);
            TReply<xcb_get_property_reply_t> reply(
                xcb_get_property_reply(FConnection, cookie, nullptr), &std::free);
            if (reply && reply->type == XCB_ATOM_WINDOW && reply->format == 32 &&
                xcb_get_property_value_length(reply.get()) >= 4) {
                const auto window =
                    *static_cast<const xcb_window_t*>(xcb_get_property_value(reply.get()));
                if (window != XCB_WINDOW_NONE)
                    return window;
            }
        }
        return 0;
    }

    void PostCopyRequest(TWindowId) override {}

    void SendCopyKeys(int holdMs) override {
        if (FConnection == nullptr)
            return;
        const xcb_query_extension_reply_t* xtest =
            xcb_get_extension_data(FConnection, &xcb_test_id);
        if (xtest == nullptr || !xtest->present)
            return;
        const std::vector<xcb_keycode_t> control = KeycodesOf(FConnection, XK_Control_L);
        const std::vector<xcb_keycode_t> insert = KeycodesOf(FConnection, XK_Insert);
        if (control.empty() || insert.empty())
            return;
        fakeKey(XCB_KEY_PRESS, control.front());
        fakeKey(XCB_KEY_PRESS, insert.front());
        xcb_flush(FConnection);
        if (holdMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(holdMs));
        fakeKey(XCB_KEY_RELEASE, insert.front());
        fakeKey(XCB_KEY_RELEASE, control.front());
        xcb_flush(FConnection);
    }

    void Activate(TWindowId window) override {
        if (FConnection == nullptr || FActiveWindow == XCB_ATOM_NONE || window == 0)
            return;
        const auto id = static_cast<xcb_window_t>(window);
        // The tree query finds the window's own root and shows that the window still
        // exists; the application may have closed it since the lookup.
        TReply<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(FConnection, xcb_query_tree(FConnection, id), nullptr),
            &std::free);
        if (!tree)
            return;
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = id;
        message.type = FActiveWindow;
        message.data.data32[0] = 2; // source: a pager, which the window manager obeys
        message.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(FConnection, 0, tree->root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&message));
        xcb_flush(FConnection);
    }

private:
    void fakeKey(std::uint8_t type, xcb_keycode_t keycode) {
        xcb_test_fake_input(FConnection, type, keycode, XCB_CURRENT_TIME, XCB_WINDOW_NONE, 0, 0, 0);
    }

    xcb_connection_t* FConnection;
    xcb_atom_t FActiveWindow = XCB_ATOM_NONE;
};

} // namespace

std::unique_ptr<TDesktopWindows> CreateDesktopWindows() {
    return std::make_unique<TDesktopWindowsX11>();
}

} // namespace quillet
