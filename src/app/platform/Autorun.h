// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <memory>
#include <string>

// Starting the program with the user's session: the per-user Run value in the Windows
// registry, an XDG autostart entry on Linux. The program is started with the argument
// "/min", so that it comes up hidden in the notification area. One implementation per
// platform, picked by the build.
//
// The entry's name is the registry value's name on Windows; on Linux it becomes the file
// name in lower case with ".desktop" ("Quillet-Dictionary" gives
// <autostart>/quillet-dictionary.desktop), the usual form of desktop file names.
//
// Free of Qt so that every platform can implement it with its own calls. UTF-8 texts.
// UI thread only.
namespace quillet {

class TAutorun {
public:
    virtual ~TAutorun() = default;

    // True when the entry named `name` exists (on Linux: and is not switched off with
    // Hidden=true).
    virtual bool AutorunEntryExists(const std::string& name) = 0;
    // With `enable`, writes the entry `name` that starts `program` (a full path, quoted
    // here as the platform needs it) with `arguments` (already in command-line form, such
    // as "/min"); otherwise removes it (removing a missing entry is no error). False when
    // the name or path cannot be stored, the place for the entries could not be opened or
    // created, or the write failed.
    virtual bool SetAutorunEntry(const std::string& name, const std::string& program,
                                 const std::string& arguments, bool enable) = 0;
};

// `folder`: where the entries live, for tests (on Windows a key path under
// HKEY_CURRENT_USER); empty for the platform's own place ($XDG_CONFIG_HOME/autostart or
// ~/.config/autostart; the current user's Run key).
std::unique_ptr<TAutorun> CreateAutorun(const std::string& folder = {});

} // namespace quillet
