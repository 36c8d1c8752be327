// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

// The user-interface language. Every text is written in German in the program; Translate
// maps it to the current interface language through a table keyed by the German text
// (case-insensitive under CompareText; everything else must match, so decorations such as
// a trailing colon are added after translating). Index 0 is German, whose table is empty,
// so German texts pass unchanged; index 1 is English. Texts without an entry stay German.
//
// The tables are built once, on first use, and never change. All functions may be called
// from any thread; the current language is one process-wide value that the main window
// sets (ApplyUILanguage) and everybody else reads.
namespace quillet {

inline constexpr int kUILanguageGerman = 0;
inline constexpr int kUILanguageEnglish = 1;

QString Translate(const QString& german);
// Any index other than English selects German: a hand-edited options.ini must not leave
// the interface without a language.
void SetUILanguage(int index);
int UILanguageIndex();
// "de" or "en"; sent by the update check.
QString UILanguageCode();

} // namespace quillet
