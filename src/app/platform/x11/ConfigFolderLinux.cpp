// SPDX-License-Identifier: GPL-2.0-or-later
#include "ConfigFolder.h"

#include <QDir>

namespace quillet {

std::string UserConfigFolder() {
    // The base directory specification ignores relative values.
    const QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (QDir::isAbsolutePath(configHome))
        return configHome.toStdString();
    const QString home = QDir::homePath();
    if (home.isEmpty())
        return {};
    return QDir(home).filePath(QStringLiteral(".config")).toStdString();
}

} // namespace quillet
