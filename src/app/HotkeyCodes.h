// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QKeyCombination>
#include <QtGlobal>

// The global hotkey is stored in options.ini as a Windows virtual-key code plus the
// modifier bits 1 Alt, 2 Ctrl, 4 Shift, 8 Super (Windows key), on every platform, so one settings
// file works everywhere. These functions translate between that encoding and Qt's keys, which the
// settings dialog's key editor works with.
//
// Letters, digits, F1-F24, the editing and navigation keys, Space, Tab, Return, Escape,
// Backspace, Pause, Print, the numeric keypad and the punctuation keys are known. The
// punctuation keys (VK_OEM_*) carry the characters of the US layout, the keys that are the
// same on every layout ("+", "-", ",", ".") aside; on the way in, the shifted characters of
// the US layout and the German umlauts and ß are accepted too, so that a combination typed
// on either layout lands on its physical key. Pure functions; any thread.
namespace quillet {

// Qt's key for the code and modifier bits; a QKeyCombination with Qt::Key_unknown for a
// code that has no Qt key. Keypad codes carry Qt::KeypadModifier.
QKeyCombination ToKeyCombination(quint16 virtualKey, quint16 modifiers);

// The code and modifier bits for a Qt key combination (the Meta key, Windows' and X11's
// Super key, is bit 8, MOD_WIN). False, leaving both outputs as they were, for a key
// without a code (a modifier alone, an unknown key).
bool FromKeyCombination(QKeyCombination combination, quint16& virtualKey, quint16& modifiers);

// Whether a combination may become the global hotkey, which takes it from every other
// application: it needs Ctrl, Alt or the Super key, or is one of the function keys F1 to
// F24. Plain keys, also with Shift alone, are refused.
bool IsHotkeyCombination(QKeyCombination combination);

} // namespace quillet
