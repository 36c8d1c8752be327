// SPDX-License-Identifier: GPL-2.0-or-later
#include "ConfigFolder.h"

#include "WinText.h"

#include "WinApi.h"

#include <knownfolders.h>
#include <shlobj.h>

namespace quillet {

std::string UserConfigFolder() {
    // The roaming folder: the local one would not follow the user to another machine.
    PWSTR path = nullptr;
    std::string result;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_DEFAULT, nullptr, &path)))
        result = Utf8FromWide(path);
    CoTaskMemFree(path);
    return result;
}

} // namespace quillet
