// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

// The user-interface language. Every text is written in German in the program; Translate
// maps it to the current interface language through a table keyed by the German text
// (case-insensitive under CompareText; everything else must match, so decorations such as
// a trailing colon are added after translating). Index 0 is German, whose table is empty,
// so German texts pass unchanged; index 1 is English. Texts without an entry stay German.
//
// Qt's own texts (the standard buttons of message boxes, the prompt of the shortcut editor,
// the context menu of text fields, file dialogs) follow the interface language too: for
// German, SetUILanguage installs Qt's German translations (qtbase_de.qm in Qt's
// translations folder, Debian's qt6-translations-l10n); for English it removes them, as
// English is Qt's own language. Without the file Qt's texts stay English.
//
// The tables are built once, on first use, and never change. The current language is one
// process-wide value that the main window sets (ApplyUILanguage) and everybody else reads:
// Translate, UILanguageIndex and UILanguageCode may be called from any thread,
// SetUILanguage only from the thread of the application object, when there is one.
namespace quillet {

inline constexpr int kUILanguageGerman = 0;
inline constexpr int kUILanguageEnglish = 1;

QString Translate(const QString& german);
// Any index other than English selects German: a hand-edited options.ini must not leave
// the interface without a language. Switches Qt's texts when an application object exists;
// widgets then get a LanguageChange event.
void SetUILanguage(int index);
int UILanguageIndex();
// "de" or "en"; sent by the update check.
QString UILanguageCode();

} // namespace quillet
