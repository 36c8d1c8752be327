// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "DictFormat.h"
#include "HashList.h"
#include "Import.h"
#include "Pronunciations.h"
#include "Status.h"
#include "WordList.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <QStringList>

// The dictionary object: one file set, its two languages, a headword index per language
// direction, the pronunciations and the state of the current lookup.
//
// Life: created for a direction (which also finds the installed dictionaries), Open()
// binds it to one file set, then a load run (TDBLoader) reads the current direction's
// index and the pronunciations. Switching the direction keeps the object and each loaded
// index; another dictionary means a new object.
//
// Directions: 0 looks up language 1 headwords (the left side of every entry, .tx1),
// 1 language 2 headwords (the right side, .tx2).
//
// Thread safety: the owner's thread calls everything, except that a load run may call
// LoadIndex() and LoadPronunciations() on another thread. While LoadIndex() runs nothing
// else may touch the object; the owner must hold lookups, direction switches and the
// object's destruction back until the run has finished. GetPronunciation() alone may run
// while LoadPronunciations() fills the table: it answers false until the table is in.
namespace quillet {

// One result row: the two language sides of an entry and the reference's rank.
struct TTermPair {
    QString Left;  // language 1 side
    QString Right; // language 2 side
    quint8 Rank = 0;
};
using TTermPairArray = std::vector<TTermPair>;

class TDictDB {
public:
    // The word list shows this many headwords before and after the current one.
    static constexpr int kWindowBefore = 50;
    static constexpr int kWindowAfter = 200;
    static constexpr int kMaxRows = 101;

    // `folder` is where the dictionaries lie; empty means the program's folder.
    explicit TDictDB(int direction, const QString& folder = {});
    // Looks for the dictionaries in each of `folders` in turn (the search path of
    // DataFolders.h); a set in an earlier folder hides one of the same base name in a
    // later one. REQUIRES: at least one folder.
    TDictDB(int direction, const QStringList& folders);
    TDictDB(const TDictDB&) = delete;
    TDictDB& operator=(const TDictDB&) = delete;

    // The dictionaries found in the folders at creation: every <base>.tdb with its .tx1
    // and .tx2, whose header could be read, in folder order, then in file-name order.
    const TDictionaryArray& Dictionaries() const { return FDictionaries; }

    // Binds the object to <base> in the folder it was found in (else the first folder
    // with a <base>.tdb, else the first folder): finishes an interrupted installation of the set,
    // opens the .tdb (kept open for every later read), reads its header and the .ini meta data. A
    // missing .tdb gives "File <folder><base>.tdb not found"; a .tdb shorter than its header is
    // reported as damaged, a FIFO or folder as not a regular file. The file names are derived even
    // when it fails.
    TStatus Open(const QString& baseName);
    // Reads the current direction's index unless it is already loaded. When the set was
    // replaced on disk since Open(), the new entry file is opened first (and the other
    // direction's index dropped), so an index never points into another set's entries.
    TStatus LoadIndex();
    // For a process whose lookups are few or far apart (the command line's lookup of its
    // arguments, the window, which looks up as the user pauses): LoadIndex then reads the
    // index in place through its record table (WordList.h) where the set has one, with no
    // item array, and a lookup reads only the records it compares. Otherwise the index is
    // walked whole, which brings every page of it in at once, and so is the entry file, so
    // that the many lookups that follow (the benchmark, `--stdin`) take no page faults.
    // The entries are then read by a system call each (TEntryReader::SetReadByCall).
    void SetReadIndexInPlace(bool inPlace) {
        FIndexInPlace = inPlace;
        FEntries.SetReadByCall(inPlace);
    }
    // Reads <base>.ipa unless pronunciations are loaded or the file is missing.
    TStatus LoadPronunciations();
    // Lets the pages of the index, entry and pronunciation files that the load and the
    // lookups so far read leave the resident memory; later lookups bring back the few they
    // touch. For an owner that keeps the object long (the window), after a load run and
    // after lookups. Called like LoadIndex().
    void TrimResidentMemory();
    // Open() has succeeded.
    bool IsOpen() const { return !FHeader.isEmpty(); }
    bool IndexLoaded(int direction) const { return FWordLists[direction]->Count() > 0; }

    // The folder of the set Open() bound the object to (the first folder before), with a
    // trailing separator.
    const QString& AppDir() const { return FAppDir; }
    const QString& BaseName() const { return FBaseName; }
    const QString& DataFile() const { return FDataFile; }
    const QString& Title() const { return FTitle; }
    const TMetaData& Meta() const { return FMeta; }
    const QByteArray& Header() const { return FHeader; }
    const TLanguage& Language(int index) const { return FLanguages[index]; }

    int Direction() const { return FDirection; }
    int OtherDirection() const { return 1 - FDirection; }
    // Flips the direction and resets the word-list window.
    void ToggleDirection();
    const TLanguage& CurrentLanguage() const { return FLanguages[FDirection]; }
    const TLanguage& OtherLanguage() const { return FLanguages[1 - FDirection]; }
    int HeadwordCount() const { return FWordLists[FDirection]->Count(); }
    int ReferenceCount() const { return FWordLists[FDirection]->Total(); }
    TWordList& WordList(int direction) { return *FWordLists[direction]; }
    const TWordList& WordList(int direction) const { return *FWordLists[direction]; }

    // Runs a lookup of the typed text on the current direction's headwords: one word
    // moves the cursor to the first headword that begins with it (or the nearest one
    // before it); several words (separated by blanks) take the entries they share. The
    // word-list window is rebuilt, and `words` refilled, when the current headword comes
    // near its edges. Returns the current headword's position in `words`, -1 when the
    // list is empty.
    int FindWords(QStringView text, QStringList& words);
    // The same lookup for a caller that shows no word list (the command line): the
    // window moves alike, but its words are not made.
    int FindWords(QStringView text) { return FindWordsFilling(text, nullptr); }
    // Makes the headword at WindowStart() + position current (an index outside the list
    // leaves the cursor) and takes its references.
    void SelectWordAt(int position);
    int WindowStart() const { return FWindowStart; }
    int WindowEnd() const { return FWindowEnd; }
    const TTermRefArray& CurrentMatches() const { return FCurrentMatches; }

    // The entries of the current lookup, at most 101, in stored order; rank-0 entries only
    // when no entry has a rank above 0. No match gives the row "kein Treffer" / "no match".
    // A missing .tdb gives "File <base>.tdb not found"; a damaged entry an error and no rows.
    TStatus GetEntries(TTermPairArray& rows) const;
    // The pronunciation of a headword (whole key, under CompareText), once loaded.
    bool GetPronunciation(QStringView word, QString& ipa) const;
    bool PronunciationsLoaded() const;

    // Builds the file set <base> in AppDir() from a source text (see Import).
    // The object itself (its open set and loaded lists) is left as it is; the caller
    // reopens the set when it replaced the open one.
    TStatus Import(const QString& baseName, const QString& sourcePath, const TMetaData& meta,
                   TImportSummary& summary, const TProgressFn& progress = {},
                   const TWarningFn& warning = {});
    // Asks a running Import to stop at its next progress report. Any thread.
    void Cancel() { FCancel = true; }

private:
    // How long opening a set waits for another process's import to finish its renames.
    static constexpr int kRecoveryWaitMs = 3000;

    // FindWords; `words` is refilled when not null.
    int FindWordsFilling(QStringView text, QStringList* words);
    int FindWordsOnce(QStringView text, QStringList* words);
    // After a lookup that found the current index's record table not to fit the index:
    // reads the index again without it and puts the cursor back to `cursor`, so that the
    // lookup can be repeated from where it began. False when the index cannot be read.
    bool ReadIndexWithoutTable(int cursor);
    void FindDictionaries();
    // Adds the sets of one folder that no earlier folder has.
    void FindDictionariesIn(const QString& folder);
    // The folder Open() binds <base> to.
    QString FolderOf(const QString& baseName) const;
    // Opens FDataFile, reads its header and the meta data.
    TStatus OpenEntries();

    QByteArray FHeader;
    TLanguage FLanguages[2];
    QString FDataFile;
    mutable TEntryReader FEntries; // the open entry file the loaded indexes point into
    TStatus FIndexStatus[2];       // why a direction's index could not be read again
    int FWindowStart = -1;
    int FWindowEnd = -1;
    TDictionaryArray FDictionaries;
    TTermRefArray FCurrentMatches;
    QString FTitle;
    TMetaData FMeta;
    QString FBaseName;
    std::unique_ptr<TWordList> FWordLists[2];
    QString FAppDir;
    QStringList FFolders; // the folders searched, each with a trailing separator
    std::atomic<bool> FCancel{false};
    int FDirection = 0;
    bool FIndexInPlace = false;

    mutable std::mutex FPronunciationLock; // guards the hand-over of FPronunciations
    std::unique_ptr<TPronunciationTable> FPronunciations;
};

} // namespace quillet
