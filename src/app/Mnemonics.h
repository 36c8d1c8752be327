// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// Mnemonics (Alt+letter) for the labels and buttons of the dialogs. The letters are
// chosen from the texts as they stand after every relabelling, so they are unique within
// a dialog in either interface language without a table per language: each text takes
// the first free letter that begins one of its words, else its first free letter or
// digit, in the order the controls are listed (the dialog's reading order). Labels are
// given the box they name as their buddy, so their letter moves the focus there.
//
// UI thread only.
namespace quillet {

// `text` (any '&' removed) with '&' before the first character of it that is not in
// `used`, word beginnings first; the character taken is added to `used` (lower case).
// Unchanged, without '&', when every character is taken.
QString WithMnemonic(const QString& text, QString& used);

// Settings dialog and import dialog: buddies and mnemonics for their controls.
void AssignOptionsMnemonics(QWidget* dialog);
void AssignImportMnemonics(QWidget* dialog);

} // namespace quillet
