// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "Status.h"

#include <QString>
#include <vector>

// Chooses the headwords of a dictionary that get a pronunciation, and the language that
// reads each. Only single words get one: letters, with hyphens inside ("E-Mail"), but no
// blanks, digits, dots or other marks, which belong to phrases, abbreviations and the
// fragments the term extraction leaves. A word that is a headword of both languages
// (under CompareText: "die", "also", "rot", "Gift" and "gift") is read by the preferred
// language only, since a pronunciation file holds one value per key.
//
// Thread safety: plain functions on local data; call from any one thread.
namespace quillet {

struct TPronunciationJob {
    QString Word;     // as in the index
    int Language = 0; // 0 language 1 (.tx1), 1 language 2 (.tx2)
};

struct THeadwordSelection {
    QString Codes[2]; // the languages' codes from the .tdb header
    std::vector<TPronunciationJob>
        Jobs;                       // the preferred language's words first, each in index order
    int Headwords[2] = {0, 0};      // all headwords per language
    int NotSingleWords[2] = {0, 0}; // left out by IsSingleWord
    int Shared = 0;                 // single words of the other language left to the preferred one
};

bool IsSingleWord(QStringView word);

// Reads the header and both indexes of <folder>/<base>. `preferredCode` names the
// language that wins for shared words; a dictionary without it is an error.
TStatus SelectHeadwords(const QString& folder, const QString& baseName,
                        const QString& preferredCode, THeadwordSelection& selection);

} // namespace quillet
