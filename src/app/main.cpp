// SPDX-License-Identifier: GPL-2.0-or-later
// quillet-dictionary: the desktop program.

#include "MainWindow.h"

#include "Arguments.h"
#include "ImportForm.h"
#include "IndexLoader.h"
#include "InstanceChannel.h"
#include "SessionEnd.h"
#include "Settings.h"
#include "SingleInstance.h"
#include "Translations.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <QApplication>
#include <QMessageBox>

int main(int argc, char* argv[]) {
    // Help and version need no display and no instance check.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(quillet::kUsage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::puts("quillet-dictionary " QUILLET_VERSION);
            return 0;
        }
    }

    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const quillet::TArguments args = quillet::ParseArguments(arguments);
    if (!args.Error.isEmpty()) {
        std::fprintf(stderr, "quillet-dictionary: %s\n\n%s", qPrintable(args.Error),
                     quillet::kUsage);
        return 2;
    }

    // One instance per user session, decided before any window exists.
    std::unique_ptr<quillet::TSingleInstance> instance = quillet::CreateSingleInstance();
    const bool only = instance->Acquire();

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillet Dictionary"));
    QApplication::setApplicationVersion(QStringLiteral(QUILLET_VERSION));
    // Task bars and docks match the windows with the desktop entry of this name.
    QGuiApplication::setDesktopFileName(QStringLiteral(QUILLET_APP_ID));
    // Qt's own texts (message box buttons, text field menus) speak the interface language
    // from the first window on, not only once the main window has applied it.
    quillet::SetUILanguage(quillet::UILanguageIndex());

    if (!only) {
        // A lookup goes to the copy that runs, which comes up with the word.
        if (args.HasLookup && quillet::TInstanceChannel::Send(args.Lookup))
            return 0;
        QMessageBox::information(nullptr, QStringLiteral("Quillet Dictionary"),
                                 QStringLiteral("Programm läuft schon"));
        return 0;
    }

    // Requests from outside to end (logout, a service stop, a hang-up) are caught from here
    // on; they wait until the window is there to close.
    const std::unique_ptr<quillet::TSessionEnd> sessionEnd = quillet::CreateSessionEnd();

    const QString folder = QApplication::applicationDirPath();
    quillet::TMainForm window(folder, quillet::SettingsFilePath(folder), args.StartHidden);
    // Hidden at start: only the icon in the notification area, which the window added.
    if (!args.StartHidden)
        window.show();
    quillet::TInstanceChannel channel;
    QObject::connect(&channel, &quillet::TInstanceChannel::lookupRequested, &window,
                     &quillet::TMainForm::LookUp);
    (void)channel.Listen();
    if (args.HasLookup)
        window.LookUp(args.Lookup);

    if (args.Import) {
        // A window of its own over the main window; it goes with the main window.
        auto* importForm = new quillet::TImportForm(folder, &window);
        importForm->SetOpenDictionaryFn([&window] {
            return window.Dictionary() ? window.Dictionary()->BaseName() : QString();
        });
        // The main window rescans its dictionaries and reloads the open one.
        QObject::connect(importForm, &quillet::TImportForm::imported, &window,
                         &quillet::TMainForm::DictionaryImported);
        importForm->move(window.geometry().center() - importForm->rect().center());
        importForm->show();
        importForm->raise();
        importForm->activateWindow();
    }
    // The normal close, so that the settings are written, but never the close question:
    // it would hold up the logout.
    sessionEnd->Listen([&window] { window.close(); });
    const int exitCode = app.exec();
    if (!window.LetGoOfLoadRun(quillet::TMainForm::kLoadRunWaitMs)) {
        // A dictionary load hangs in a read. The settings are written; the destructors of
        // the window, the framework and the libraries would pull their objects from under
        // the run, so the process ends here, with the code it would have ended with.
        std::fflush(nullptr);
        std::_Exit(exitCode);
    }
    return exitCode;
}
