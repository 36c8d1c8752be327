// SPDX-License-Identifier: GPL-2.0-or-later
#include "GlobalHotkey.h"

#include "VirtualKeysX11.h"
#include "XcbConnection.h"

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QCoreApplication>

#include <X11/keysym.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

// A passive key grab on every root window. The X server matches a grab against the exact
// modifier state, so the combination is grabbed once more with NumLock, with CapsLock and
// with both: otherwise a lit NumLock would swallow the hotkey. The presses arrive as key
// events for the root window on Qt's connection, where a native event filter picks them
// out before Qt looks for a window of its own.
namespace quillet {
namespace {

using TReplyPtr = std::unique_ptr<void, decltype(&std::free)>;

// The modifier bit that NumLock sets in this keyboard map (usually Mod2), or 0.
std::uint16_t numLockMask(xcb_connection_t* connection) {
    const std::vector<xcb_keycode_t> numLock = KeycodesOf(connection, XK_Num_Lock);
    if (numLock.empty())
        return 0;
    auto* reply =
        xcb_get_modifier_mapping_reply(connection, xcb_get_modifier_mapping(connection), nullptr);
    TReplyPtr owner(reply, &std::free);
    if (reply == nullptr)
        return 0;
    const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(reply);
    const int perModifier = reply->keycodes_per_modifier;
    for (int modifier = 0; modifier < 8; ++modifier) {
        for (int i = 0; i < perModifier; ++i) {
            const xcb_keycode_t code = codes[modifier * perModifier + i];
            if (code != 0 && std::find(numLock.begin(), numLock.end(), code) != numLock.end())
                return static_cast<std::uint16_t>(1u << modifier);
        }
    }
    return 0;
}

// A Wayland session, also when the program runs on its X server (XWayland): a grab there
// sees only the keys typed into other X11 windows, so for the user there is no hotkey.
bool waylandSession() {
    return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland");
}

class TGlobalHotkeyX11 final : public TGlobalHotkey, public QAbstractNativeEventFilter {
public:
    TGlobalHotkeyX11() : FConnection(waylandSession() ? nullptr : QtXcbConnection()) {
        if (FConnection != nullptr) {
            FRoots = RootWindows(FConnection);
            QCoreApplication::instance()->installNativeEventFilter(this);
        }
    }

    ~TGlobalHotkeyX11() override {
        Unregister();
        if (FConnection != nullptr && QCoreApplication::instance() != nullptr)
            QCoreApplication::instance()->removeNativeEventFilter(this);
    }

    bool Available() const override { return FConnection != nullptr; }

    bool Register(std::uint16_t virtualKey, std::uint16_t modifiers) override {
        Unregister();
        if (FConnection == nullptr ||
            (modifiers & ~(kModAlt | kModCtrl | kModShift | kModWin)) != 0)
            return false;
        const std::uint32_t keysym = KeysymFromVirtualKey(virtualKey);
        if (keysym == 0)
            return false;
        const std::vector<xcb_keycode_t> keycodes = KeycodesOf(FConnection, keysym);
        if (keycodes.empty())
            return false;

        FKeycode = keycodes.front();
        FMask = 0;
        if (modifiers & kModAlt)
            FMask |= XCB_MOD_MASK_1;
        if (modifiers & kModCtrl)
            FMask |= XCB_MOD_MASK_CONTROL;
        if (modifiers & kModShift)
            FMask |= XCB_MOD_MASK_SHIFT;
        // Super is Mod4 in every keyboard map of today's desktops.
        if (modifiers & kModWin)
            FMask |= XCB_MOD_MASK_4;
        FModifierKeys.clear();
        const auto addKeys = [this](std::uint32_t keysym) {
            for (const xcb_keycode_t code : KeycodesOf(FConnection, keysym))
                FModifierKeys.push_back(code);
        };
        if (modifiers & kModAlt) {
            addKeys(XK_Alt_L);
            addKeys(XK_Alt_R);
            addKeys(XK_Meta_L);
        }
        if (modifiers & kModCtrl) {
            addKeys(XK_Control_L);
            addKeys(XK_Control_R);
        }
        if (modifiers & kModShift) {
            addKeys(XK_Shift_L);
            addKeys(XK_Shift_R);
        }
        if (modifiers & kModWin) {
            addKeys(XK_Super_L);
            addKeys(XK_Super_R);
        }
        FLockVariants = {0, XCB_MOD_MASK_LOCK};
        if (const std::uint16_t numLock = numLockMask(FConnection); numLock != 0) {
            FLockVariants.push_back(numLock);
            FLockVariants.push_back(static_cast<std::uint16_t>(numLock | XCB_MOD_MASK_LOCK));
        }

        // owner_events off: the press goes to the root window even while one of the
        // program's own windows has the focus, so the filter sees every press.
        std::vector<xcb_void_cookie_t> cookies;
        for (const xcb_window_t root : FRoots) {
            for (const std::uint16_t variant : FLockVariants) {
                cookies.push_back(xcb_grab_key_checked(FConnection, 0, root, FMask | variant,
                                                       FKeycode, XCB_GRAB_MODE_ASYNC,
                                                       XCB_GRAB_MODE_ASYNC));
            }
        }
        bool granted = true;
        for (const xcb_void_cookie_t cookie : cookies) {
            // BadAccess: another client holds the combination.
            if (xcb_generic_error_t* error = xcb_request_check(FConnection, cookie)) {
                granted = false;
                std::free(error);
            }
        }
        FRegistered = true;
        if (!granted)
            Unregister();
        return granted;
    }

    bool Held() override {
        if (!FRegistered)
            return false;
        // The keyboard's logical state, synthetic keys included: the hotkey's key and the
        // modifier keys of its combination.
        TReplyPtr owner(nullptr, &std::free);
        auto* keymap = xcb_query_keymap_reply(FConnection, xcb_query_keymap(FConnection), nullptr);
        owner.reset(keymap);
        if (keymap == nullptr)
            return FHeld;
        const auto down = [keymap](xcb_keycode_t code) {
            return (keymap->keys[code / 8] >> (code % 8)) & 1;
        };
        if (down(FKeycode))
            return true;
        for (const xcb_keycode_t code : FModifierKeys) {
            if (down(code))
                return true;
        }
        return false;
    }

    void Unregister() override {
        if (!FRegistered)
            return;
        // Ungrabbing touches only this client's grabs, so the variants that another
        // client holds after a refused Register stay his.
        for (const xcb_window_t root : FRoots) {
            for (const std::uint16_t variant : FLockVariants)
                xcb_ungrab_key(FConnection, FKeycode, root, FMask | variant);
        }
        xcb_flush(FConnection);
        FRegistered = false;
        FHeld = false;
    }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
        if (!FRegistered || eventType != "xcb_generic_event_t")
            return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        const std::uint8_t type = event->response_type & ~0x80;
        if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE)
            return false;
        const auto* key = static_cast<const xcb_key_press_event_t*>(message);
        if (key->detail != FKeycode)
            return false;
        const bool onRoot = std::find(FRoots.begin(), FRoots.end(), key->event) != FRoots.end();
        if (type == XCB_KEY_RELEASE) {
            // Wherever the release went (a grab of a menu may have taken it), the stroke
            // is over.
            FHeld = false;
            return onRoot;
        }
        constexpr std::uint16_t relevant =
            XCB_MOD_MASK_1 | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_4;
        if (!onRoot || (key->state & relevant) != FMask)
            return false;
        // A held key repeats its press; one lookup per stroke, as with a short press.
        if (FHeld)
            return true;
        FHeld = true;
        if (OnPressed)
            OnPressed();
        return true;
    }

private:
    xcb_connection_t* FConnection;
    std::vector<xcb_window_t> FRoots;
    bool FRegistered = false;
    bool FHeld = false;
    xcb_keycode_t FKeycode = 0;
    std::uint16_t FMask = 0;
    std::vector<std::uint16_t> FLockVariants;
    std::vector<xcb_keycode_t> FModifierKeys; // the keys that give the combination's modifiers
};

} // namespace

std::unique_ptr<TGlobalHotkey> CreateGlobalHotkey() {
    return std::make_unique<TGlobalHotkeyX11>();
}

} // namespace quillet
