// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <memory>
#include <string>

// Starting the program with the user's session: the per-user Run value in the Windows
// registry, an XDG autostart entry (~/.config/autostart/<name>.desktop) on Linux. The
// command is the program's path followed by " /min", so that the program comes up hidden
// in the notification area. One implementation per platform, picked by the build.
//
// Free of Qt so that every platform can implement it with its own calls. UTF-8 texts.
// UI thread only.
namespace quillet {

class TAutorun {
public:
    virtual ~TAutorun() = default;

    // True when the entry named `name` exists.
    virtual bool AutorunEntryExists(const std::string& name) = 0;
    // With `enable`, writes the entry `name` with the command `command`; otherwise removes
    // it (removing a missing entry is no error). False when the place for the entries
    // could not be opened or created, or the write failed.
    virtual bool SetAutorunEntry(const std::string& name, const std::string& command,
                                 bool enable) = 0;
};

// `folder`: where the entries live, for tests; empty for the platform's own place.
std::unique_ptr<TAutorun> CreateAutorun(const std::string& folder = {});

} // namespace quillet
