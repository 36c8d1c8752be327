// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <cstdint>

// The translation between the Windows virtual-key codes that options.ini stores and X11
// keysyms, so that one settings file names the same key on every platform. The
// punctuation keys (VK_OEM_*) follow the US layout, where Windows defines them by their
// place on the keyboard; the X server then finds the key carrying that character in the
// user's layout. Free of Qt and X connections; any thread.
namespace quillet {

// The keysym of a virtual-key code, or 0 when the code names no key of a standard
// keyboard. Letters give the lower-case keysym, which is what the keyboard map lists first.
std::uint32_t KeysymFromVirtualKey(std::uint16_t virtualKey);

// The virtual-key code of a keysym, or 0 when there is none. Upper- and lower-case
// letters give the same code; keys with two names in X (Prior and Page_Up) give one.
std::uint16_t VirtualKeyFromKeysym(std::uint32_t keysym);

} // namespace quillet
