// SPDX-License-Identifier: GPL-2.0-or-later
#include "Autorun.h"

#include "FileIO.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

// An XDG autostart entry: a desktop file in $XDG_CONFIG_HOME/autostart, which the desktop
// session starts at login. The file is written to a temporary file beside it and renamed,
// so that a session starting meanwhile never reads half an entry.
namespace quillet {
namespace {

QString autostartFolder() {
    // XDG base directories must be absolute; a relative value is ignored.
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!QDir::isAbsolutePath(base))
        base = QDir::home().filePath(QStringLiteral(".config"));
    return QDir(base).filePath(QStringLiteral("autostart"));
}

// Desktop files name their programs in lower case.
QString fileName(const std::string& name) {
    const QString base = QString::fromStdString(name).toLower();
    if (base.isEmpty() || base.startsWith(u'.') || base.contains(u'/') || base.contains(u'\0'))
        return {};
    return base + QStringLiteral(".desktop");
}

// One argument of an Exec line: quoted when it holds a reserved character, with the
// characters that stay special inside quotes escaped; "%" doubled, as it starts a field
// code.
QString execArgument(const QString& argument) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    QString result;
    bool quote = argument.isEmpty();
    for (const QChar c : argument) {
        if (reserved.contains(c))
            quote = true;
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            result += u'\\';
        result += c;
        if (c == u'%')
            result += u'%';
    }
    return quote ? u'"' + result + u'"' : argument;
}

// The escapes of a value of type string, applied to the whole Exec value after quoting.
QString escapeValue(const QString& value) {
    QString result;
    for (const QChar c : value) {
        if (c == u'\\')
            result += QStringLiteral("\\\\");
        else if (c == u'\n')
            result += QStringLiteral("\\n");
        else if (c == u'\t')
            result += QStringLiteral("\\t");
        else if (c == u'\r')
            result += QStringLiteral("\\r");
        else
            result += c;
    }
    return result;
}

class TAutorunLinux final : public TAutorun {
public:
    explicit TAutorunLinux(QString folder)
        : FFolder(folder.isEmpty() ? autostartFolder() : std::move(folder)) {}

    bool AutorunEntryExists(const std::string& name) override {
        const QString file = fileName(name);
        if (file.isEmpty())
            return false;
        QFile entry(QDir(FFolder).filePath(file));
        if (!entry.open(QIODevice::ReadOnly))
            return false;
        // Hidden=true is how a user switches an entry off in the session's settings.
        while (!entry.atEnd()) {
            if (entry.readLine().trimmed() == "Hidden=true")
                return false;
        }
        return true;
    }

    bool SetAutorunEntry(const std::string& name, const std::string& program,
                         const std::string& arguments, bool enable) override {
        const QString file = fileName(name);
        if (file.isEmpty())
            return false;
        const QString path = QDir(FFolder).filePath(file);
        if (!enable)
            return !QFileInfo::exists(path) || QFile::remove(path);

        const QString programPath = QString::fromStdString(program);
        if (programPath.isEmpty())
            return false;
        QString command = execArgument(programPath);
        if (!arguments.empty())
            command += u' ' + QString::fromStdString(arguments);
        const QString text =
            QStringLiteral("[Desktop Entry]\n"
                           "Type=Application\n"
                           "Name=%1\n"
                           "Exec=%2\n"
                           "Terminal=false\n")
                .arg(escapeValue(QString::fromStdString(name)), escapeValue(command));
        if (!QDir().mkpath(FFolder))
            return false;
        return WriteWholeFile(path, text.toUtf8()).ok();
    }

private:
    QString FFolder;
};

} // namespace

std::unique_ptr<TAutorun> CreateAutorun(const std::string& folder) {
    return std::make_unique<TAutorunLinux>(QString::fromStdString(folder));
}

} // namespace quillet
