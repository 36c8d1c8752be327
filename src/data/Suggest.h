// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "Status.h"
#include "Stemmer.h"

#include <memory>
#include <QString>
#include <vector>

// Suggestions: what the user may have meant when the typed word is not the headword the
// lookup lands on. Four kinds, each a real headword of the open dictionary:
//   other language  the text is a headword of the other direction ("went" while German is
//                   searched); choosing it switches the direction
//   spelling        equal once case, accents, ß/ss and ae/oe/ue for ä/ö/ü are disregarded
//                   ("Strasse" -> Straße, "Muell" -> Müll)
//   form            the text is an inflected form of the headword ("Kindern" -> Kind,
//                   "mice" -> mouse): the entries' own form lists ("Haus {n} | Häuser {pl}",
//                   "gehen | gehend | gegangen") and the system's Hunspell stems
//   typo            one edit away (insertion, deletion, substitution, swap of neighbours),
//                   two for texts of eight characters or more; common headwords first
// The lookup itself (FindWords, GetEntries) is neither used nor changed: the suggester
// keeps its own copy of what it needs, built once per dictionary for both directions.
//
// Thread safety: Build() once, from any one thread (the load run's); after it, Suggest()
// may be called from any thread, also concurrently. Building again needs the same
// exclusion as building first.
namespace quillet {

class TDictDB;

enum class TSuggestionKind : quint8 { OtherLanguage, Spelling, Form, Typo };

// "other-language", "spelling", "form", "typo": the names the command-line tool prints.
QString SuggestionKindName(TSuggestionKind kind);

struct TSuggestion {
    QString Word;         // the headword as stored
    TSuggestionKind Kind; // why it is offered
    int Direction;        // the direction whose headword it is (the other one for OtherLanguage)
    friend bool operator==(const TSuggestion&, const TSuggestion&) = default;
};
using TSuggestionArray = std::vector<TSuggestion>;

struct TSuggestOptions {
    // Where the Hunspell dictionaries lie; an empty folder turns the stems off.
    QString HunspellFolder = QString::fromLatin1(kHunspellFolder);
    // Read the entries' form lists from the .tdb.
    bool EntryForms = true;
};

// Sizes, for the benchmark and the status line.
struct TSuggestStats {
    qint64 BuildMs = 0;
    qint64 ListsMs = 0; // of BuildMs: headwords, spelling keys and typo order
    qint64 FormsMs = 0; // reading the entries' form lists
    qint64 StemsMs = 0; // opening the Hunspell dictionaries
    qint64 Bytes = 0;   // held by the index, both directions
    int Words[2] = {};  // headwords indexed for spelling and typos
    int Forms[2] = {};  // form -> base pairs from the entries
    bool Stems[2] = {}; // a Hunspell dictionary was found for the direction's language
};

class TSuggester {
public:
    static constexpr int kMaxSuggestions = 5;

    TSuggester();
    ~TSuggester();
    TSuggester(const TSuggester&) = delete;
    TSuggester& operator=(const TSuggester&) = delete;

    // Builds the index of both directions of `db`. REQUIRES: db.IsOpen(), and no load run
    // filling db's lists meanwhile. A direction whose index db has not loaded yet is read
    // from its file here (and dropped again). db's lists and cursors are not touched. On
    // failure the suggester is left empty and answers nothing.
    TStatus Build(const TDictDB& db, const TSuggestOptions& options = {});
    bool IsBuilt() const;
    const TSuggestStats& Stats() const { return FStats; }

    // Up to five suggestions for the typed text, best first. `text` is the trimmed search
    // text; a text with a blank gives none. Kinds other than form are offered only when
    // the text is not itself a headword of `direction`. `shown` is the headword the lookup
    // displays for the text; it is never suggested. A null `shown` means the headword the
    // one-word lookup lands on (the first that begins with the text, else the nearest
    // before it).
    TSuggestionArray Suggest(QStringView text, int direction, QStringView shown = {}) const;

private:
    struct TDirection;
    std::unique_ptr<TDirection> FDirections[2];
    TSuggestStats FStats;
};

} // namespace quillet
