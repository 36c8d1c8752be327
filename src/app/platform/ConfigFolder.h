// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

namespace quillet {

// The folder under which the program keeps its settings for this user: the configuration
// folder ($XDG_CONFIG_HOME, ~/.config) on Linux, the roaming application-data folder on
// Windows, so that settings travel with a roaming profile. Empty when there is none.
// In Qt's test mode, Qt's test folder on every platform. Any thread.
QString UserConfigFolder();

} // namespace quillet
