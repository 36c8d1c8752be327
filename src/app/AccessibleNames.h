// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

class QWidget;

// The names and descriptions that assistive technology reads for the program's controls,
// in the current interface language. One table, keyed by the controls' object names,
// covers the main window, the settings dialog, the import dialog and the about window;
// a control whose own text says what it is (a labelled box, a check box, a button with a
// caption) is named by that text and is not in the table. Caption bars also get the
// names of their buttons.
//
// UI thread only.
namespace quillet {

// Names every control of the table found in `root` (root included) and every caption
// bar's buttons, through Translate. Called whenever the interface language changes.
void NameControls(QWidget* root);

} // namespace quillet
