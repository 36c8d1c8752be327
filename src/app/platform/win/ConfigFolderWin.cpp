// SPDX-License-Identifier: GPL-2.0-or-later
#include "ConfigFolder.h"

#include <QStandardPaths>

namespace quillet {

QString UserConfigFolder() {
    // Qt has no generic name for the roaming folder; its generic configuration folder is
    // the local one, which would not follow the user to another machine.
    const QString roaming = qEnvironmentVariable("APPDATA");
    if (!roaming.isEmpty() && !QStandardPaths::isTestModeEnabled())
        return roaming;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

} // namespace quillet
