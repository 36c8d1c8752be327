// SPDX-License-Identifier: GPL-2.0-or-later
#include "HotkeyCodes.h"

#include "GlobalHotkey.h"

namespace quillet {
namespace {

struct TKeyCode {
    quint16 VirtualKey;
    Qt::Key Key;
};

// Keys whose code and Qt key map one to one (letters, digits and function keys are
// computed). The first entry for a code is its Qt key on the way back.
constexpr TKeyCode kKeys[] = {
    {0x08, Qt::Key_Backspace},
    {0x09, Qt::Key_Tab},
    {0x0C, Qt::Key_Clear},
    {0x0D, Qt::Key_Return},
    {0x13, Qt::Key_Pause},
    {0x1B, Qt::Key_Escape},
    {0x20, Qt::Key_Space},
    {0x21, Qt::Key_PageUp},
    {0x22, Qt::Key_PageDown},
    {0x23, Qt::Key_End},
    {0x24, Qt::Key_Home},
    {0x25, Qt::Key_Left},
    {0x26, Qt::Key_Up},
    {0x27, Qt::Key_Right},
    {0x28, Qt::Key_Down},
    {0x2C, Qt::Key_Print},
    {0x2D, Qt::Key_Insert},
    {0x2E, Qt::Key_Delete},
    {0x5D, Qt::Key_Menu},
    {0x90, Qt::Key_NumLock},
    {0x91, Qt::Key_ScrollLock},
    // VK_OEM_*: the US layout's unshifted characters; "+", ",", "-", "." on every layout.
    {0xBA, Qt::Key_Semicolon},
    {0xBB, Qt::Key_Plus},
    {0xBC, Qt::Key_Comma},
    {0xBD, Qt::Key_Minus},
    {0xBE, Qt::Key_Period},
    {0xBF, Qt::Key_Slash},
    {0xC0, Qt::Key_QuoteLeft},
    {0xDB, Qt::Key_BracketLeft},
    {0xDC, Qt::Key_Backslash},
    {0xDD, Qt::Key_BracketRight},
    {0xDE, Qt::Key_Apostrophe},
    {0xE2, Qt::Key_Less}, // the extra key of ISO keyboards, "<" and ">" on German ones
    // Other Qt keys for the same physical keys, accepted on the way in only.
    {0x09, Qt::Key_Backtab}, // Shift+Tab
    {0x0D, Qt::Key_Enter},
    {0x2C, Qt::Key_SysReq},
    {0xBB, Qt::Key_Equal},
    {0xBA, Qt::Key_Colon},
    {0xBD, Qt::Key_Underscore},
    {0xBF, Qt::Key_Question},
    {0xC0, Qt::Key_AsciiTilde},
    {0xDB, Qt::Key_BraceLeft},
    {0xDC, Qt::Key_Bar},
    {0xDD, Qt::Key_BraceRight},
    {0xDE, Qt::Key_QuoteDbl},
    {0xE2, Qt::Key_Greater},
    {0xBA, Qt::Key_Udiaeresis}, // German layout
    {0xC0, Qt::Key_Odiaeresis},
    {0xDE, Qt::Key_Adiaeresis},
    {0xDB, Qt::Key_ssharp},
    {0x31, Qt::Key_Exclam}, // shifted digits of the US layout
    {0x32, Qt::Key_At},
    {0x33, Qt::Key_NumberSign},
    {0x34, Qt::Key_Dollar},
    {0x35, Qt::Key_Percent},
    {0x36, Qt::Key_AsciiCircum},
    {0x37, Qt::Key_Ampersand},
    {0x38, Qt::Key_Asterisk},
    {0x39, Qt::Key_ParenLeft},
    {0x30, Qt::Key_ParenRight},
};

// The keypad's own codes; Qt tells them apart by Qt::KeypadModifier.
constexpr TKeyCode kKeypadKeys[] = {
    {0x6A, Qt::Key_Asterisk}, {0x6B, Qt::Key_Plus},  {0x6D, Qt::Key_Minus},
    {0x6E, Qt::Key_Period},   {0x6F, Qt::Key_Slash}, {0x6E, Qt::Key_Comma}, // German decimal
};

constexpr quint16 kVkNumpad0 = 0x60;
constexpr quint16 kVkF1 = 0x70;
constexpr int kFunctionKeys = 24;

quint16 keypadCode(Qt::Key key) {
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return quint16(kVkNumpad0 + (key - Qt::Key_0));
    for (const TKeyCode& entry : kKeypadKeys) {
        if (entry.Key == key)
            return entry.VirtualKey;
    }
    return 0;
}

quint16 plainCode(Qt::Key key) {
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return quint16(key); // the codes are the ASCII capitals and digits
    if (key >= Qt::Key_F1 && key < Qt::Key_F1 + kFunctionKeys)
        return quint16(kVkF1 + (key - Qt::Key_F1));
    for (const TKeyCode& entry : kKeys) {
        if (entry.Key == key)
            return entry.VirtualKey;
    }
    return 0;
}

} // namespace

QKeyCombination ToKeyCombination(quint16 virtualKey, quint16 modifiers) {
    Qt::KeyboardModifiers qtModifiers;
    if (modifiers & kModAlt)
        qtModifiers |= Qt::AltModifier;
    if (modifiers & kModCtrl)
        qtModifiers |= Qt::ControlModifier;
    if (modifiers & kModShift)
        qtModifiers |= Qt::ShiftModifier;
    if (modifiers & kModWin)
        qtModifiers |= Qt::MetaModifier;

    Qt::Key key = Qt::Key_unknown;
    if ((virtualKey >= 'A' && virtualKey <= 'Z') || (virtualKey >= '0' && virtualKey <= '9')) {
        key = Qt::Key(virtualKey);
    } else if (virtualKey >= kVkF1 && virtualKey < kVkF1 + kFunctionKeys) {
        key = Qt::Key(Qt::Key_F1 + (virtualKey - kVkF1));
    } else if (virtualKey >= kVkNumpad0 && virtualKey <= kVkNumpad0 + 9) {
        key = Qt::Key(Qt::Key_0 + (virtualKey - kVkNumpad0));
        qtModifiers |= Qt::KeypadModifier;
    } else {
        for (const TKeyCode& entry : kKeypadKeys) {
            if (entry.VirtualKey == virtualKey) {
                key = entry.Key;
                qtModifiers |= Qt::KeypadModifier;
                break;
            }
        }
        for (const TKeyCode& entry : kKeys) {
            if (key != Qt::Key_unknown)
                break;
            if (entry.VirtualKey == virtualKey)
                key = entry.Key;
        }
    }
    return QKeyCombination(qtModifiers, key);
}

bool FromKeyCombination(QKeyCombination combination, quint16& virtualKey, quint16& modifiers) {
    const Qt::KeyboardModifiers qtModifiers = combination.keyboardModifiers();
    const Qt::Key key = combination.key();
    quint16 code = qtModifiers & Qt::KeypadModifier ? keypadCode(key) : 0;
    if (code == 0)
        code = plainCode(key); // keypad navigation keys act as the ordinary ones
    if (code == 0)
        return false;
    virtualKey = code;
    modifiers = 0;
    if (qtModifiers & Qt::AltModifier)
        modifiers |= kModAlt;
    if (qtModifiers & Qt::ControlModifier)
        modifiers |= kModCtrl;
    if (qtModifiers & Qt::ShiftModifier)
        modifiers |= kModShift;
    if (qtModifiers & Qt::MetaModifier)
        modifiers |= kModWin;
    return true;
}

bool IsHotkeyCombination(QKeyCombination combination) {
    const Qt::Key key = combination.key();
    if (key == Qt::Key_unknown || key == 0 || key == Qt::Key_Control || key == Qt::Key_Alt ||
        key == Qt::Key_Shift || key == Qt::Key_Meta || key == Qt::Key_AltGr)
        return false;
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return true;
    return (combination.keyboardModifiers() &
            (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0;
}

} // namespace quillet
