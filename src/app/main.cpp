// SPDX-License-Identifier: GPL-2.0-or-later
// quillet-dictionary: the desktop program.

#include "MainWindow.h"

#include "IndexLoader.h"
#include "Settings.h"
#include "SingleInstance.h"
#include "Translations.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>

int main(int argc, char* argv[]) {
    // One instance per user session, decided before any window exists.
    std::unique_ptr<quillet::TSingleInstance> instance = quillet::CreateSingleInstance();
    const bool only = instance->Acquire();

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillet Dictionary"));
    QApplication::setApplicationVersion(QStringLiteral(QUILLET_VERSION));
    if (!only) {
        QMessageBox::information(nullptr, QStringLiteral("Quillet Dictionary"),
                                 QStringLiteral("Programm läuft schon"));
        return 0;
    }

    // "/min" as the first argument starts hidden, as the autostart entry does.
    const QStringList args = app.arguments();
    const bool startHidden = args.size() > 1 && args[1] == u"/min";

    const QString folder = QApplication::applicationDirPath();
    quillet::TMainForm window(folder, quillet::SettingsFilePath(folder), startHidden);
    if (!startHidden)
        window.show();
    else
        window.showMinimized();
    return app.exec();
}
