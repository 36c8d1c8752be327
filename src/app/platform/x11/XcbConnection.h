// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <vector>

// The X connection the program's windows run on, for the platform services that talk to
// the X server themselves. UI thread only.
namespace quillet {

// Qt's own connection, or nullptr when the program does not run on X11 (a Wayland
// session, the offscreen platform, no QGuiApplication yet).
xcb_connection_t* QtXcbConnection();

// The root windows of all screens of the connection; grabs and properties of the desktop
// live there.
std::vector<xcb_window_t> RootWindows(xcb_connection_t* connection);

// The atom of `name`, or XCB_ATOM_NONE when the server could not be asked.
xcb_atom_t InternAtom(xcb_connection_t* connection, const char* name);

// The keycodes that produce `keysym` in the current keyboard map (empty when none).
std::vector<xcb_keycode_t> KeycodesOf(xcb_connection_t* connection, std::uint32_t keysym);

} // namespace quillet
