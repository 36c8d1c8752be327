// SPDX-License-Identifier: GPL-2.0-or-later
#include "VirtualKeysX11.h"

#include <X11/keysym.h>

#include <array>

namespace quillet {
namespace {

struct TKeyPair {
    std::uint16_t VirtualKey;
    std::uint32_t Keysym;
};

// Keys outside the runs of letters, digits, function keys and numpad digits, which the
// functions below compute.
constexpr std::array kKeys{
    TKeyPair{0x08, XK_BackSpace},    TKeyPair{0x09, XK_Tab},         TKeyPair{0x0C, XK_Clear},
    TKeyPair{0x0D, XK_Return},       TKeyPair{0x10, XK_Shift_L},     TKeyPair{0x11, XK_Control_L},
    TKeyPair{0x12, XK_Alt_L},        TKeyPair{0x13, XK_Pause},       TKeyPair{0x14, XK_Caps_Lock},
    TKeyPair{0x1B, XK_Escape},       TKeyPair{0x20, XK_space},       TKeyPair{0x21, XK_Prior},
    TKeyPair{0x22, XK_Next},         TKeyPair{0x23, XK_End},         TKeyPair{0x24, XK_Home},
    TKeyPair{0x25, XK_Left},         TKeyPair{0x26, XK_Up},          TKeyPair{0x27, XK_Right},
    TKeyPair{0x28, XK_Down},         TKeyPair{0x29, XK_Select},      TKeyPair{0x2B, XK_Execute},
    TKeyPair{0x2C, XK_Print},        TKeyPair{0x2D, XK_Insert},      TKeyPair{0x2E, XK_Delete},
    TKeyPair{0x2F, XK_Help},         TKeyPair{0x5B, XK_Super_L},     TKeyPair{0x5C, XK_Super_R},
    TKeyPair{0x5D, XK_Menu},         TKeyPair{0x6A, XK_KP_Multiply}, TKeyPair{0x6B, XK_KP_Add},
    TKeyPair{0x6C, XK_KP_Separator}, TKeyPair{0x6D, XK_KP_Subtract}, TKeyPair{0x6E, XK_KP_Decimal},
    TKeyPair{0x6F, XK_KP_Divide},    TKeyPair{0x90, XK_Num_Lock},    TKeyPair{0x91, XK_Scroll_Lock},
    TKeyPair{0xBA, XK_semicolon},    TKeyPair{0xBB, XK_plus},        TKeyPair{0xBC, XK_comma},
    TKeyPair{0xBD, XK_minus},        TKeyPair{0xBE, XK_period},      TKeyPair{0xBF, XK_slash},
    TKeyPair{0xC0, XK_grave},        TKeyPair{0xDB, XK_bracketleft}, TKeyPair{0xDC, XK_backslash},
    TKeyPair{0xDD, XK_bracketright}, TKeyPair{0xDE, XK_apostrophe},  TKeyPair{0xE2, XK_less},
};

// Second X names of keys in the table, and the keysyms the same keys give with NumLock
// off or with the other hand's modifier, for the way back only.
constexpr std::array kAliases{
    TKeyPair{0x10, XK_Shift_R}, TKeyPair{0x11, XK_Control_R}, TKeyPair{0x12, XK_Alt_R},
    TKeyPair{0x12, XK_Meta_L},  TKeyPair{0x12, XK_Meta_R},    TKeyPair{0x0D, XK_KP_Enter},
    TKeyPair{0x13, XK_Break},   TKeyPair{0x2C, XK_Sys_Req},   TKeyPair{0x09, XK_ISO_Left_Tab},
};

} // namespace

std::uint32_t KeysymFromVirtualKey(std::uint16_t virtualKey) {
    if (virtualKey >= '0' && virtualKey <= '9')
        return XK_0 + (virtualKey - '0');
    if (virtualKey >= 'A' && virtualKey <= 'Z')
        return XK_a + (virtualKey - 'A');
    if (virtualKey >= 0x60 && virtualKey <= 0x69) // VK_NUMPAD0..9
        return XK_KP_0 + (virtualKey - 0x60);
    if (virtualKey >= 0x70 && virtualKey <= 0x87) // VK_F1..F24
        return XK_F1 + (virtualKey - 0x70);
    for (const TKeyPair& key : kKeys) {
        if (key.VirtualKey == virtualKey)
            return key.Keysym;
    }
    return 0;
}

std::uint16_t VirtualKeyFromKeysym(std::uint32_t keysym) {
    if (keysym >= XK_0 && keysym <= XK_9)
        return static_cast<std::uint16_t>('0' + (keysym - XK_0));
    if (keysym >= XK_a && keysym <= XK_z)
        return static_cast<std::uint16_t>('A' + (keysym - XK_a));
    if (keysym >= XK_A && keysym <= XK_Z)
        return static_cast<std::uint16_t>('A' + (keysym - XK_A));
    if (keysym >= XK_KP_0 && keysym <= XK_KP_9)
        return static_cast<std::uint16_t>(0x60 + (keysym - XK_KP_0));
    if (keysym >= XK_F1 && keysym <= XK_F24)
        return static_cast<std::uint16_t>(0x70 + (keysym - XK_F1));
    for (const TKeyPair& key : kKeys) {
        if (key.Keysym == keysym)
            return key.VirtualKey;
    }
    for (const TKeyPair& key : kAliases) {
        if (key.Keysym == keysym)
            return key.VirtualKey;
    }
    return 0;
}

} // namespace quillet
