// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// The desktop program's command line. Any thread.
namespace quillet {

// What `quillet-dictionary --help` prints.
extern const char kUsage[];

struct TArguments {
    bool StartHidden = false; // "/min" as the first argument
    bool Import = false;      // --import
    bool HasLookup = false;   // --lookup WORD
    QString Lookup;
    QString Error; // not empty: a usage error, the program ends with status 2
};

// `args` as the command line gives them, the program first. Qt's own options (-platform
// NAME, -style NAME, -reverse, ...; also with two dashes) are passed over: the framework
// takes them. The check runs before the framework starts, so that a usage error is told
// even where no display can be opened. Words that are not options are ignored, like
// "/MIN" or a late "/min"; an option neither the program nor Qt knows is a usage error.
TArguments ParseArguments(const QStringList& args);

} // namespace quillet
