// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <string>

namespace quillet {

// The folder under which the program keeps its settings for this user, in UTF-8: the
// configuration folder ($XDG_CONFIG_HOME, ~/.config) on Linux, the roaming
// application-data folder on Windows, so that settings travel with a roaming profile.
// Empty when there is none. Free of Qt: the caller keeps tests away from the user's
// folder itself. Any thread.
std::string UserConfigFolder();

} // namespace quillet
