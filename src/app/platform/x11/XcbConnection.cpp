// SPDX-License-Identifier: GPL-2.0-or-later
#include "XcbConnection.h"

#include <QGuiApplication>

#include <xcb/xcb_keysyms.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace quillet {

xcb_connection_t* QtXcbConnection() {
    // The offscreen platform may hold an X connection of its own for OpenGL; the program's
    // windows are not on it.
    if (qGuiApp == nullptr || QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr ? x11->connection() : nullptr;
}

std::vector<xcb_window_t> RootWindows(xcb_connection_t* connection) {
    std::vector<xcb_window_t> roots;
    for (auto it = xcb_setup_roots_iterator(xcb_get_setup(connection)); it.rem;
         xcb_screen_next(&it))
        roots.push_back(it.data->root);
    return roots;
}

xcb_atom_t InternAtom(xcb_connection_t* connection, const char* name) {
    const auto cookie =
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

std::vector<xcb_keycode_t> KeycodesOf(xcb_connection_t* connection, std::uint32_t keysym) {
    std::vector<xcb_keycode_t> result;
    // Read fresh each time: the user may have switched the keyboard layout since.
    xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(connection);
    if (symbols == nullptr)
        return result;
    if (xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols, keysym)) {
        for (xcb_keycode_t* code = codes; *code != XCB_NO_SYMBOL; ++code)
            result.push_back(*code);
        std::free(codes);
    }
    xcb_key_symbols_free(symbols);
    return result;
}

} // namespace quillet
