// SPDX-License-Identifier: GPL-2.0-or-later
#include "ConfigFolder.h"

#include <QStandardPaths>

namespace quillet {

QString UserConfigFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

} // namespace quillet
