// SPDX-License-Identifier: GPL-2.0-or-later
// The main window after an import: a data folder holds new files.
#include "MainWindow.h"

#include "DataFolders.h"

namespace quillet {

void TMainForm::DictionaryImported(const QString& baseName) {
    if (!FDict)
        return;
    // Neither the lists nor the dictionary object may change under a running load.
    if (SwitchMustWait()) {
        RunWhenIdle([this, baseName] { DictionaryImported(baseName); });
        return;
    }
    const QString open = FDict->BaseName();
    // The open set was replaced (entries, indexes or pronunciations): its loaded lists and
    // offsets belong to the old files, so it is opened again. So is the stored dictionary
    // that was missing at start-up and exists now.
    const bool reopen = baseName == open || (open.isEmpty() && baseName == FSettings.Name);

    // A new set becomes selectable: the menu is built again from a fresh scan.
    const TDictDB scan(FDict->Direction(), DataFolders(FProgramFolder));
    BuildDictionaryMenu(scan.Dictionaries(), reopen ? baseName : open);
    if (reopen)
        ReopenDictionary(baseName);
}

} // namespace quillet
