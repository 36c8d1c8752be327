// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "Status.h"
#include "Stemmer.h"

#include <atomic>
#include <future>
#include <memory>
#include <mutex>
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
// keeps its own copy of what it needs for both directions, the set's suggestion index
// <base>.sug (SuggestIndex.h), which the import writes and Build() reads.
//
// Hunspell's stems cost each language's dictionary in memory (8.8 MB for de_DE, 7.3 MB for
// en_US, all of it in use) and a few tens of milliseconds to open: a direction's opens
// when it is first needed, the current direction's on a thread of its own that Build()
// starts, the other's at the first suggestion for it or when OpenStems() asks.
//
// Thread safety: Build() once, from any one thread (the load run's); after it, Suggest(),
// OpenStems() and StemsReady() may be called from any thread, also concurrently. Building
// again needs the same exclusion as building first. A Suggest() whose direction's
// Hunspell dictionary is not open yet waits for it: a thread that must not wait asks
// StemsReady() first.
namespace quillet {

class TDictDB;
class TSuggestIndex;

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
    qint64 ListsMs = 0;    // of BuildMs, when the index was made here: headwords and trie
    qint64 FormsMs = 0;    // and reading the entries' form lists
    qint64 StemsMs = 0;    // finding the Hunspell dictionaries (they open later, see above)
    qint64 ReadMs = 0;     // of BuildMs: reading and checking <base>.sug
    qint64 Bytes = 0;      // the index, both directions (mapped, not resident, when read)
    int Words[2] = {};     // headwords indexed for spelling and typos
    int Forms[2] = {};     // form -> base pairs from the entries
    bool Stems[2] = {};    // a Hunspell dictionary was found for the direction's language
    bool FromFile = false; // the index was read from <base>.sug
    QString IndexNote;     // else why not (its file missing, damaged, of another set)
};

class TSuggester {
public:
    static constexpr int kMaxSuggestions = 5;

    TSuggester();
    ~TSuggester();
    TSuggester(const TSuggester&) = delete;
    TSuggester& operator=(const TSuggester&) = delete;

    // Reads the suggestion index of both directions of `db` from <base>.sug, checked to be
    // whole and of the set db has open. When the file is missing or refused, the index is
    // made here from the set's .tdb, .tx1 and .tx2 instead (some seconds for the default
    // dictionary) and Stats().IndexNote tells why. REQUIRES: db.IsOpen(), and no load
    // run filling db's lists meanwhile. db's lists and cursors are not touched. On failure
    // (the set's own files unreadable) the suggester is left empty and answers nothing.
    TStatus Build(const TDictDB& db, const TSuggestOptions& options = {});
    bool IsBuilt() const;
    const TSuggestStats& Stats() const { return FStats; }
    // Lets the pages of the index file that queries read leave the resident memory; later
    // queries bring back the few they touch. Any thread, beside Suggest().
    void DropResidentPages() const;
    // Opens the Hunspell dictionary of the direction's language unless it is open; returns
    // once it is (also when another thread is opening it).
    void OpenStems(int direction) const;
    // The direction's Hunspell dictionary is open, or there is none to open: a Suggest()
    // for the direction does not wait.
    bool StemsReady(int direction) const;
    // Opens the Hunspell dictionaries of both directions.
    void WaitForStems() const;

    // Up to five suggestions for the typed text, best first. `text` is the trimmed search
    // text; a text with a blank, or without a letter, gives none. Kinds other than form are
    // offered only when the text is not itself a headword of `direction`: equal under
    // CompareText to one with a reference of rank 1 to 5, that an item of an entry is
    // about. A word that only occurs in phrases and parentheses (ranks 6 to 9, "Fussball"
    // in one example sentence) or only as a stopword (rank 0) does not count, so it still
    // gets its spellings, other language and typos. `shown` is the headword the lookup
    // displays for the text; it is never suggested. A null `shown` means the headword the
    // one-word lookup lands on (the first that begins with the text, else the nearest
    // before it).
    TSuggestionArray Suggest(QStringView text, int direction, QStringView shown = {}) const;

private:
    // One direction's Hunspell dictionary, opened once by whichever thread needs it first.
    struct TStems {
        QString AffixFile; // empty: none
        std::once_flag Opened;
        std::unique_ptr<TStemmer> Stemmer; // written inside the call_once only
        std::atomic<bool> Ready{false};
    };
    // The direction's stemmer, opened first when needed; null when there is none.
    const TStemmer* Stemmer(int direction) const;

    std::unique_ptr<TSuggestIndex> FIndex;
    bool FEntryForms = true;
    std::unique_ptr<TStems> FStems[2];
    std::future<void> FStemsOpen; // the thread Build() starts; destroyed first, so joined first
    TSuggestStats FStats;
};

} // namespace quillet
