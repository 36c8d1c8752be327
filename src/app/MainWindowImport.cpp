// SPDX-License-Identifier: GPL-2.0-or-later
// The main window after an import: the program folder holds new files.
#include "MainWindow.h"

namespace quillet {

void TMainForm::DictionaryImported(const QString& baseName) {
    if (!FDict)
        return;
    // Neither the lists nor the dictionary object may change under a running load.
    if (IsLoading()) {
        RunWhenIdle([this, baseName] { DictionaryImported(baseName); });
        return;
    }
    const int direction = FDict->Direction();
    const QString open = FDict->BaseName();
    // A new set becomes selectable: the menu is built again from a fresh scan.
    const TDictDB scan(direction, FProgramFolder);
    BuildDictionaryMenu(scan.Dictionaries(), open);

    // The open set was replaced (entries, indexes or pronunciations): its loaded lists and
    // offsets belong to the old files, so it is opened again on a fresh object, which loads
    // the current direction and shows the new counts.
    // Also the stored dictionary that was missing at start-up and exists now.
    const bool storedArrived = open.isEmpty() && baseName == FSettings.Name;
    if (baseName != open && !storedArrived)
        return;
    if (FThread)
        FThread->wait(); // it may still be reading the old pronunciations
    FDict = std::make_unique<TDictDB>(direction, FProgramFolder);
    LoadDictionary(baseName);
}

} // namespace quillet
