// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QtGlobal>

// The skin's colours as the program's tables write them: 0x00BBGGRR (red in the low byte).
// Turn them into QColor with PlatformColor (DrawTools.h) at the point of drawing; nothing
// else converts colour values. Constants only, usable from any thread.
namespace quillet::skin {

constexpr quint32 WindowBackground = 0x0065E0FF;  // red 255, green 224, blue 101
constexpr quint32 AccentOrange = 0x00068FF5;      // red 245, green 143, blue 6
constexpr quint32 DarkOrangeOutline = 0x00006FD5; // red 213, green 111, blue 0
constexpr quint32 Grey = 0x00808080;
constexpr quint32 PaleYellow = 0x0095FFFF; // red 255, green 255, blue 149
constexpr quint32 ButtonFace = 0x00F0F0F0; // the faces of plain controls on the skin
constexpr quint32 White = 0x00FFFFFF;
constexpr quint32 Black = 0x00000000;

} // namespace quillet::skin
