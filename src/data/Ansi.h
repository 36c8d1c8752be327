// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// Windows-1252, the 8-bit encoding of the .tdb header strings, the .ini files and the
// stopword lists. Files written on Windows and here must agree byte for byte, so the
// code page is fixed rather than taken from the machine. Pure functions; any thread.
namespace quillet {

QString FromAnsi(QByteArrayView bytes);
// Characters without a Windows-1252 byte become '?', as the Windows conversion does.
QByteArray ToAnsi(QStringView text);

} // namespace quillet
