// SPDX-License-Identifier: GPL-2.0-or-later
#include "ConfigFolder.h"

#include "WinText.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef UNICODE
#define UNICODE
#endif
#include <windows.h>

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
