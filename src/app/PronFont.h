// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

// Fonts and formatted texts of the main window. UI thread only.
namespace quillet {

// The pronunciation font for the settings' name and size. "Junicode" is looked for as
// Junicode-Regular.ttf beside the program, then among the installed fonts (Debian ships
// it as "Junicode Two Beta"); when the named family is missing, a font that has the IPA
// characters takes its place, so IPA never shows as boxes. Colour is the caller's.
QFont ResolvePronunciationFont(const QString& family, int pointSize, const QString& programFolder);

// Fills the "%d" and "%s" placeholders of a (translated) format in order.
QString FillPlaceholders(QString format, const QStringList& values);

} // namespace quillet
