// SPDX-License-Identifier: GPL-2.0-or-later
#include "Arguments.h"

#include <QSet>

namespace quillet {
namespace {

// The options QGuiApplication and QApplication take out of the command line, those of
// the first list with a value.
const QSet<QString> kQtOptionsWithValue = {"platform",      "platformpluginpath",
                                           "platformtheme", "plugin",
                                           "qmljsdebugger", "qwindowgeometry",
                                           "qwindowicon",   "qwindowtitle",
                                           "session",       "style",
                                           "stylesheet",    "display",
                                           "geometry",      "name",
                                           "title",         "visual",
                                           "ncols",         "fn",
                                           "font",          "bg",
                                           "background",    "fg",
                                           "foreground",    "btn",
                                           "button",        "im",
                                           "inputstyle"};
const QSet<QString> kQtFlags = {"reverse", "widgetcount", "cmap",       "nograb",
                                "dograb",  "sync",        "testability"};

} // namespace

const char kUsage[] =
    "Usage: quillet-dictionary [/min] [--import] [--lookup WORD]\n"
    "\n"
    "  /min           start hidden in the notification area (first argument only)\n"
    "  --import       open the dictionary import dialog over the main window\n"
    "  --lookup WORD  look WORD up; a running copy of the program does it and comes up\n"
    "  --version      show the version\n"
    "  --help         show this text\n"
    "\n"
    "Dictionaries are looked for beside the program, then in\n"
    "$XDG_DATA_HOME/quillet-dictionary, then in quillet-dictionary under each folder of\n"
    "$XDG_DATA_DIRS. A usage error ends the program with status 2.\n";

TArguments ParseArguments(const QStringList& args) {
    TArguments result;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& arg = args[i];
        // "/min" only as the first argument, as the autostart entry passes it.
        if (i == 1 && arg == u"/min") {
            result.StartHidden = true;
        } else if (arg == u"--import") {
            result.Import = true;
        } else if (arg == u"--lookup" || arg.startsWith(u"--lookup=")) {
            result.HasLookup = true;
            if (arg != u"--lookup")
                result.Lookup = arg.mid(9);
            else if (i + 1 < args.size())
                result.Lookup = args[++i]; // taken as it is, even when it starts with "-"
            else
                result.Error = QStringLiteral("--lookup needs a WORD");
        } else if (arg.startsWith(u'-') && arg.size() > 1) {
            const QString name = arg.mid(arg.startsWith(u"--") ? 2 : 1);
            if (kQtOptionsWithValue.contains(name))
                ++i;
            else if (!kQtFlags.contains(name))
                result.Error = QStringLiteral("unknown option ") + arg;
        }
        if (!result.Error.isEmpty())
            break;
    }
    return result;
}

} // namespace quillet
