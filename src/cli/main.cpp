// SPDX-License-Identifier: GPL-2.0-or-later
// quillet-cli: builds dictionaries and looks words up from the command line, for users,
// scripts and the project's own checks.

#include "DataFolders.h"
#include "DBLoader.h"
#include "DictDB.h"
#include "Import.h"
#include "Suggest.h"
#include "Terminal.h"
#include "TextTools.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTextStream>
#include <string>

using namespace quillet;

namespace {

QTextStream& out() {
    static QTextStream stream(stdout);
    return stream;
}

QTextStream& err() {
    static QTextStream stream(stderr);
    return stream;
}

int fail(const QString& message) {
    out().flush();
    err() << "quillet-cli: " << message << Qt::endl;
    return 1;
}

// A command line that does not say what to do: status 2, as for the parser's own errors.
int usageError(const QString& message) {
    (void)fail(message);
    return 2;
}

struct TOptions {
    QString Folder; // --folder: the one folder used; empty: the search path of DataFolders.h
    QString Name = QStringLiteral("de_en_dict");
    QString Title = QStringLiteral("Deutsch/Englisch Wörterbuch");
    int Direction = 0;
    bool Json = false;
    bool Stdin = false;
    bool Suggestions = true; // --no-suggestions: the lookup alone, as fast as it goes
    QStringList Args;        // after the command
};

// --- import -------------------------------------------------------------------------

class TProgressBar {
public:
    explicit TProgressBar(bool enabled) : FEnabled(enabled) {}
    void Show(int index, int count) {
        if (!FEnabled || count <= 0)
            return;
        const int width = 40;
        const int done = int(qint64(index + 1) * width / count);
        err() << '\r' << '[' << QString(done, u'#') << QString(width - done, u' ') << "] "
              << qint64(index + 1) * 100 / count << "%  " << index << " / " << count;
        err().flush();
    }
    void Finish() {
        if (FEnabled)
            err() << '\r' << QString(78, u' ') << '\r';
    }

private:
    bool FEnabled;
};

// Where an import writes: --folder, else the program's folder when the user may write
// there, else the user's data folder.
TStatus importFolder(const TOptions& options, QString& folder) {
    if (!options.Folder.isEmpty()) {
        folder = options.Folder;
        return TStatus::Ok();
    }
    return ImportFolder({}, folder);
}

// The dictionaries a lookup, list or pron sees: --folder alone, else the search path.
QStringList searchPath(const TOptions& options) {
    return options.Folder.isEmpty() ? DataFolders() : QStringList{options.Folder};
}

int runImport(const TOptions& options) {
    if (options.Args.size() != 1)
        return usageError("import needs exactly one SOURCE file");
    QString folder;
    if (TStatus s = importFolder(options, folder); !s.ok())
        return fail(s.message());
    TDictDB db(0, folder);
    TMetaData meta;
    meta.Name = options.Title;
    TImportSummary summary;
    TProgressBar bar(IsTerminal(stderr));
    QElapsedTimer timer;
    timer.start();
    const QString source = options.Args[0];
    const TStatus status = db.Import(
        options.Name, source, meta, summary, [&](int k, int n) { bar.Show(k, n); },
        [&](int line, const QString& message) {
            bar.Finish();
            err() << source << ':' << line << ": " << message << Qt::endl;
        });
    bar.Finish();
    if (!status.ok())
        return fail(status.message());
    for (int side = 0; side < 2; ++side) {
        if (!summary.StopwordsFound[side])
            err() << "quillet-cli: warning: "
                  << (side == 0 ? "stopwords_DE.txt" : "stopwords_EN.txt")
                  << " not found; no stopwords for language " << side + 1 << Qt::endl;
    }
    out() << summary.Lines << " lines, " << summary.StoredEntries << " entries, "
          << summary.IndexedLines << " indexed; headwords: " << summary.Headwords[0]
          << " (language 1), " << summary.Headwords[1] << " (language 2); "
          << QString::number(timer.elapsed() / 1000.0, 'f', 2) << " s"
          << (summary.Cancelled ? " (cancelled)" : "") << "; in "
          << QDir::toNativeSeparators(db.AppDir()) << Qt::endl;
    return 0;
}

int runImportIpa(const TOptions& options) {
    if (options.Args.size() != 1)
        return usageError("import-ipa needs exactly one SOURCE file");
    QString folder;
    if (TStatus s = importFolder(options, folder); !s.ok())
        return fail(s.message());
    TDictDB db(0, folder);
    const QString destination = db.AppDir() + options.Name + ".ipa";
    TPronunciationSummary summary;
    TProgressBar bar(IsTerminal(stderr));
    const TStatus status = ImportPronunciations(options.Args[0], destination, summary,
                                                [&](int k, int n) { bar.Show(k, n); });
    bar.Finish();
    if (!status.ok())
        return fail(status.message());
    out() << summary.Lines << " lines, " << summary.Pairs << " pronunciations written to "
          << QDir::toNativeSeparators(destination) << Qt::endl;
    return 0;
}

// The suggestion index of a set imported without one, written into the set's folder.
int runImportSuggest(const TOptions& options) {
    if (!options.Args.isEmpty())
        return usageError("import-suggest takes no arguments");
    TDictDB db(0, searchPath(options));
    if (TStatus s = db.Open(options.Name); !s.ok())
        return fail(s.message());
    QElapsedTimer timer;
    timer.start();
    if (TStatus s = ImportSuggestionIndex(db.AppDir(), options.Name); !s.ok())
        return fail(s.message());
    out() << "suggestion index written to "
          << QDir::toNativeSeparators(db.AppDir() + options.Name + ".sug") << "; "
          << QString::number(timer.elapsed() / 1000.0, 'f', 2) << " s" << Qt::endl;
    return 0;
}

// The record tables of a set imported without them, written into the set's folder.
int runImportTables(const TOptions& options) {
    if (!options.Args.isEmpty())
        return usageError("import-tables takes no arguments");
    TDictDB db(0, searchPath(options));
    if (TStatus s = db.Open(options.Name); !s.ok())
        return fail(s.message());
    if (TStatus s = ImportRecordTables(db.AppDir(), options.Name); !s.ok())
        return fail(s.message());
    out() << "record tables written to "
          << QDir::toNativeSeparators(db.AppDir() + options.Name + ".tr1") << " and .tr2"
          << Qt::endl;
    return 0;
}

// --- list ---------------------------------------------------------------------------

int runList(const TOptions& options) {
    if (!options.Args.isEmpty())
        return usageError("list takes no arguments");
    const TDictDB db(0, searchPath(options));
    for (const TDictionaryFile& dictionary : db.Dictionaries())
        out() << dictionary.BaseName << '\t' << dictionary.Title << '\t'
              << QDir::toNativeSeparators(dictionary.Folder) << '\n';
    return 0;
}

// --- lookup and pron -----------------------------------------------------------------

TStatus openDictionary(TDictDB& db, const QString& name) {
    if (TStatus s = db.Open(name); !s.ok())
        return s;
    return db.LoadIndex();
}

// Appends the text as a JSON string, as QJsonDocument writes it. Texts of printable characters
// (all rows of real dictionaries) are quoted here directly: only " and \ need a
// backslash there. The rest goes through QJsonDocument.
void appendJson(QString& to, const QString& text) {
    // One pass tells whether the text is plain and whether it holds a " or \\.
    bool plain = true, escapes = false;
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        if (c < 0x20 || c == 0x7F || (c >= 0xD800 && c < 0xE000))
            plain = false;
        else if (c == u'"' || c == u'\\')
            escapes = true;
    }
    if (!plain) {
        const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
        to += QString::fromUtf8(array.mid(1, array.size() - 2));
        return;
    }
    to += u'"';
    if (!escapes) {
        to += text;
    } else {
        for (const QChar c : text) {
            if (c == u'"' || c == u'\\')
                to += u'\\';
            to += c;
        }
    }
    to += u'"';
}

// Answers one query; false when the entries could not be read.
// Without a suggester (--no-suggestions) the answer carries none.
bool answer(TDictDB& db, const TSuggester* suggester, const QString& text, bool json) {
    const int position = db.FindWords(text); // the window's words are not printed
    TTermPairArray rows;
    const TStatus status = db.GetEntries(rows);
    QString headword;
    const bool hasHeadword = db.WordList(db.Direction()).GetCurrentText(headword);
    const TSuggestionArray suggestions =
        suggester ? suggester->Suggest(Trim(text), db.Direction(),
                                       hasHeadword ? QStringView(headword) : QStringView())
                  : TSuggestionArray();
    if (json) {
        // Written by hand to keep the documented key order; made whole and handed to the
        // stream at once (an insertion into it costs more than the bytes it carries).
        QString line;
        line.reserve(256 + 512 * qsizetype(rows.size()));
        line += u"{\"headword\":";
        if (hasHeadword)
            appendJson(line, headword);
        else
            line += u"null";
        line += u",\"position\":";
        line += QString::number(position);
        line += u",\"window\":[";
        line += QString::number(db.WindowStart());
        line += u',';
        line += QString::number(db.WindowEnd());
        line += u"],\"rows\":[";
        for (size_t i = 0; i < rows.size(); ++i) {
            line += i ? u",{\"rank\":" : u"{\"rank\":";
            line += QString::number(rows[i].Rank);
            line += u",\"left\":";
            appendJson(line, rows[i].Left);
            line += u",\"right\":";
            appendJson(line, rows[i].Right);
            line += u'}';
        }
        line += u']';
        if (!status.ok()) {
            line += u",\"error\":";
            appendJson(line, status.message());
        }
        line += u",\"suggestions\":[";
        for (size_t i = 0; i < suggestions.size(); ++i) {
            line += i ? u",{\"word\":" : u"{\"word\":";
            appendJson(line, suggestions[i].Word);
            line += u",\"kind\":\"";
            line += SuggestionKindName(suggestions[i].Kind);
            line += u"\",\"direction\":";
            line += QString::number(suggestions[i].Direction);
            line += u'}';
        }
        line += u"]}\n";
        out() << line;
    } else {
        out() << "Headword: " << (hasHeadword ? headword : QStringLiteral("(none)"))
              << "   (word list position " << position << ", window " << db.WindowStart() << "–"
              << db.WindowEnd() << ")\n";
        if (!suggestions.empty()) {
            out() << "Suggestions:";
            for (size_t i = 0; i < suggestions.size(); ++i) {
                const TSuggestion& s = suggestions[i];
                out() << (i ? ", " : " ") << s.Word << " (" << SuggestionKindName(s.Kind);
                if (s.Kind == TSuggestionKind::OtherLanguage)
                    out() << ": " << db.Language(s.Direction).Name;
                out() << ')';
            }
            out() << '\n';
        }
        const TLanguage& left = db.Language(0);
        const TLanguage& right = db.Language(1);
        qsizetype width = qMax(left.Name.size(), qsizetype(12));
        for (const TTermPair& row : rows)
            width = qMax(width, qMin(row.Left.size(), qsizetype(48)));
        out() << "rank  " << left.Name.leftJustified(width) << "  " << right.Name << '\n';
        for (const TTermPair& row : rows)
            out() << QString::number(row.Rank).leftJustified(6) << row.Left.leftJustified(width)
                  << "  " << row.Right << '\n';
    }
    out().flush();
    if (!status.ok()) {
        err() << "quillet-cli: " << status.message() << Qt::endl;
        return false;
    }
    return true;
}

// Answers the one text of the command line, or every line of the standard input.
int answerAll(TDictDB& db, const TSuggester* suggester, const TOptions& options) {
    if (!options.Stdin)
        return answer(db, suggester, options.Args.join(u' '), options.Json) ? 0 : 1;

    const bool interactive = IsTerminal(stdin) && !options.Json;
    const QString prompt = db.CurrentLanguage().Name + "> ";
    bool allOk = true;
    std::string line;
    for (;;) {
        if (interactive) {
            out() << prompt;
            out().flush();
        }
        if (!std::getline(std::cin, line))
            break;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        allOk = answer(db, suggester, QString::fromStdString(line), options.Json) && allOk;
        if (interactive)
            out() << '\n';
    }
    return allOk ? 0 : 1;
}

int runLookup(const TOptions& options) {
    if (options.Stdin == !options.Args.isEmpty())
        return usageError("lookup needs either TEXT or --stdin");
    TDictDB db(options.Direction, searchPath(options));
    db.SetReadIndexInPlace(!options.Stdin);
    if (TStatus s = openDictionary(db, options.Name); !s.ok())
        return fail(s.message());
    // Without its index (the set's files unreadable) the lookup goes on without suggestions.
    auto built = std::make_unique<TSuggester>();
    const TSuggester* suggester = nullptr;
    if (options.Suggestions) {
        if (TStatus s = built->Build(db); s.ok())
            suggester = built.get();
        else
            err() << "quillet-cli: no suggestions: " << s.message() << Qt::endl;
    }
    const int status = answerAll(db, suggester, options);
    // Freeing a Hunspell dictionary's 75,000 words one by one takes a one-query process
    // a tenth of its time; the process's end takes them back at once. Left only once the
    // thread that Build started to open it has ended.
    built->OpenStems(db.Direction());
    (void)built.release();
    return status;
}

// One suggestion a line (word, tab, kind); status 1 when there is none.
int runSuggest(const TOptions& options) {
    if (options.Args.size() != 1)
        return usageError("suggest needs exactly one WORD");
    TDictDB db(options.Direction, searchPath(options));
    if (TStatus s = openDictionary(db, options.Name); !s.ok())
        return fail(s.message());
    TSuggester suggester;
    if (TStatus s = suggester.Build(db); !s.ok())
        return fail(s.message());
    const TSuggestionArray suggestions = suggester.Suggest(Trim(options.Args[0]), db.Direction());
    for (const TSuggestion& s : suggestions)
        out() << s.Word << '\t' << SuggestionKindName(s.Kind) << '\n';
    out().flush();
    return suggestions.empty() ? 1 : 0;
}

int runPron(const TOptions& options) {
    if (options.Args.size() != 1)
        return usageError("pron needs exactly one WORD");
    TDictDB db(options.Direction, searchPath(options));
    if (TStatus s = db.Open(options.Name); !s.ok())
        return fail(s.message());
    if (TStatus s = db.LoadPronunciations(); !s.ok())
        return fail(s.message());
    QString ipa;
    if (!db.GetPronunciation(options.Args[0], ipa)) {
        err() << "No pronunciation for " << options.Args[0] << Qt::endl;
        return 1;
    }
    out() << ipa << Qt::endl;
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("quillet-cli");
    QCoreApplication::setApplicationVersion(QStringLiteral(QUILLET_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Builds Quillet dictionaries and looks words up in them.\n\n"
        "Commands:\n"
        "  import [--title TITLE] SOURCE   build BASE.tdb, .tx1, .tx2, .sug, .tr1 and .tr2\n"
        "                                  from a UTF-8 source\n"
        "  import-ipa SOURCE               build BASE.ipa from key=value lines\n"
        "  import-suggest                  build BASE.sug, the suggestion index, for a\n"
        "                                  dictionary imported without it\n"
        "  import-tables                   build BASE.tr1 and .tr2, the indexes' record\n"
        "                                  tables, for a dictionary imported without them\n"
        "  list                            list the installed dictionaries (base name, title,\n"
        "                                  folder)\n"
        "  lookup [--direction 0|1] [--json] [--no-suggestions] (TEXT... | --stdin)\n"
        "                                  look TEXT up; --stdin answers one query a line\n"
        "  suggest [--direction 0|1] WORD  what WORD may have meant: word, tab, kind a line\n"
        "  pron WORD                       print the pronunciation of WORD\n\n"
        "Without --folder, dictionaries are looked for in the program's folder, then in\n"
        "$XDG_DATA_HOME/quillet-dictionary, then in quillet-dictionary under each folder of\n"
        "$XDG_DATA_DIRS; an import goes to the program's folder when it may be written,\n"
        "else to $XDG_DATA_HOME/quillet-dictionary.\n\n"
        "Exit status: 0 done, 1 failed, 2 a usage error.");
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption folder(
        "folder", "The one dictionary folder to use (default: the search path below).", "DIR");
    const QCommandLineOption name("name", "Dictionary base name (default: de_en_dict).", "BASE");
    const QCommandLineOption title("title", "Dictionary title for import.", "TITLE");
    const QCommandLineOption direction("direction", "0 looks up language 1, 1 language 2.", "0|1",
                                       "0");
    const QCommandLineOption json("json", "Print lookups as JSON, one object a line.");
    const QCommandLineOption stdinOption("stdin", "Read one query per line from standard input.");
    const QCommandLineOption noSuggestions(
        "no-suggestions", "Look up without suggestions (no suggestion index, no Hunspell).");
    parser.addOptions({folder, name, title, direction, json, stdinOption, noSuggestions});
    parser.addPositionalArgument(
        "command",
        "import, import-ipa, import-suggest, import-tables, list, lookup, suggest or pron");
    // Not process(): an unknown option must end with the usage status 2, not 1.
    if (!parser.parse(app.arguments()))
        return usageError(parser.errorText());
    if (parser.isSet(help))
        parser.showHelp(0);
    if (parser.isSet(version))
        parser.showVersion();

    QStringList args = parser.positionalArguments();
    if (args.isEmpty()) {
        err() << parser.helpText();
        return 2;
    }
    TOptions options;
    const QString command = args.takeFirst();
    options.Args = args;
    options.Folder = parser.value(folder);
    if (parser.isSet(name))
        options.Name = parser.value(name);
    if (parser.isSet(title))
        options.Title = parser.value(title);
    const QString dir = parser.value(direction);
    if (dir != u"0" && dir != u"1")
        return usageError("--direction must be 0 or 1");
    options.Direction = dir.toInt();
    options.Json = parser.isSet(json);
    options.Stdin = parser.isSet(stdinOption);
    options.Suggestions = !parser.isSet(noSuggestions);
    if (!options.Folder.isEmpty() && !QDir(options.Folder).exists())
        return fail("Folder " + options.Folder + " not found");

    if (command == u"import")
        return runImport(options);
    if (command == u"import-ipa")
        return runImportIpa(options);
    if (command == u"import-suggest")
        return runImportSuggest(options);
    if (command == u"import-tables")
        return runImportTables(options);
    if (command == u"list")
        return runList(options);
    if (command == u"lookup")
        return runLookup(options);
    if (command == u"suggest")
        return runSuggest(options);
    if (command == u"pron")
        return runPron(options);
    err() << "quillet-cli: unknown command " << command << "\n\n" << parser.helpText();
    return 2;
}
