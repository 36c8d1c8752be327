// SPDX-License-Identifier: GPL-2.0-or-later
#include "ConfigFolder.h"

#include <QDir>

namespace quillet {

std::string UserConfigFolder() {
    // XDG base directories must be absolute; a relative value is ignored.
    const QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (QDir::isAbsolutePath(configHome))
        return configHome.toStdString();
    const QString home = QDir::homePath();
    if (home.isEmpty())
        return {};
    return QDir(home).filePath(QStringLiteral(".config")).toStdString();
}

} // namespace quillet
