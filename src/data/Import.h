// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "DictFormat.h"
#include "Status.h"

#include <atomic>
#include <functional>
#include <QIODevice>
#include <QStringList>

// Building dictionary files from text sources.
//
// The dictionary source is UTF-8 text, one entry per line ("language 1 side :: language 2
// side"; CR LF, LF or CR line ends). Lines starting with "#" are comments. Every other
// line is stored in the .tdb; lines that split into exactly two non-empty sides are also
// indexed: their terms (ExtractTerms) become headwords of the .tx1 and .tx2 indexes.
//
// Choices where the format leaves room, all reported through the warning callback:
// - an empty line is skipped like a comment;
// - a line that is not valid UTF-8 is stored with U+FFFD for its bad bytes;
// - a line longer than 32,767 bytes does not fit an entry and is left out;
// - a byte-order mark at the start of the file is ignored.
//
// The files are built in memory, each written to its new file once it is complete, and
// installed together at the end (see SetInstall.h), so a failed, killed or abandoned
// import leaves the installed set as it was, and a source with no line to index installs
// nothing. A cancelled import installs a consistent set
// holding the lines read so far. An import holds the set's lock from start to end: a
// second import into the same set fails at once.
//
// Thread safety: an import runs on one thread (any thread, typically a worker), which
// hands parts of the work to threads of the import's own. The cancel flag may be set from
// another thread; the callbacks run on the importing thread.
namespace quillet {

// Progress: the 0-based index of the line just read (a cancel at the report keeps every
// line up to it and none after it), and the number of lines.
using TProgressFn = std::function<void(int lineIndex, int lineCount)>;
// A line that was changed or left out: its 1-based number and what happened.
using TWarningFn = std::function<void(int lineNumber, const QString& message)>;

struct TImportRequest {
    QString Folder;              // where <base>.tdb/.tx1/.tx2 are written
    QString BaseName;            // e.g. "de_en_dict"
    QString SourcePath;          // the UTF-8 source text
    TMetaData Meta;              // only Name is used: the title in the .tdb header
    QStringList StopwordFolders; // searched in order for stopwords_DE.txt / stopwords_EN.txt
    const std::atomic<bool>* Cancel = nullptr;  // checked at each progress report
    const std::atomic<bool>* Abandon = nullptr; // set with Cancel: install nothing at all
    TProgressFn Progress;                       // every hundred indexed lines
    TWarningFn Warning;
};

struct TImportSummary {
    int Lines = 0;         // lines in the source, comments included
    int StoredEntries = 0; // entries written to the .tdb
    int IndexedLines = 0;  // lines with two sides
    int Headwords[2] = {0, 0};
    qint64 References[2] = {0, 0};
    bool Cancelled = false;
    bool StopwordsFound[2] = {false, false};
    bool Busy = false; // another import held the set's lock; nothing was done
};

// Writes the 184-byte header for the meta data's Name (the language pair is fixed:
// Deutsch/de and Englisch/en). False when the device refuses the bytes.
bool WriteHeader(QIODevice& out, const TMetaData& meta);
// Appends one entry (REQUIRES: at most 32,767 UTF-8 bytes) and returns its offset.
qint64 WriteEntry(const QByteArray& utf8, QIODevice& out);

// Builds <base>.tdb, <base>.tx1 and <base>.tx2 in the request's folder, with the set's
// suggestion index <base>.sug (SuggestIndex.h) and the indexes' record tables <base>.tr1
// and <base>.tr2 (WordList.h). A missing source gives "File <path> not
// found" and writes nothing; so does a set being imported by someone else ("Dictionary
// <base> is being imported", summary.Busy).
TStatus Import(const TImportRequest& request, TImportSummary& summary);

// Builds the suggestion index <base>.sug of an installed set from its .tdb, .tx1 and .tx2,
// for sets imported before the import wrote it, and installs it under the set's lock.
// `busy` tells that another import held the lock.
TStatus ImportSuggestionIndex(const QString& folder, const QString& baseName, bool* busy = nullptr);

// Builds the record tables <base>.tr1 and <base>.tr2 of an installed set from its .tdb,
// .tx1 and .tx2, for sets imported before the import wrote them; as above.
TStatus ImportRecordTables(const QString& folder, const QString& baseName, bool* busy = nullptr);

struct TPronunciationSummary {
    int Lines = 0;
    int Pairs = 0;     // distinct keys written
    bool Busy = false; // another import held the set's lock; nothing was done
};

// Builds a pronunciation file from "key=value" lines (UTF-8). A line whose value has
// fewer than 2 bytes, or that has no "=", is skipped; for keys equal under CompareText
// the first key form is kept and the last value wins. The file at `destinationPath` is
// replaced only when the new one is complete, under the lock of the set it belongs to.
// Progress comes every hundred lines.
TStatus ImportPronunciations(const QString& sourcePath, const QString& destinationPath,
                             TPronunciationSummary& summary, const TProgressFn& progress = {});

} // namespace quillet
