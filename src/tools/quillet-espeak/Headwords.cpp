// SPDX-License-Identifier: GPL-2.0-or-later
#include "Headwords.h"

#include "Collation.h"
#include "DictDB.h"
#include "WordList.h"

namespace quillet {

bool IsSingleWord(QStringView word) {
    if (word.isEmpty() || word.front() == u'-' || word.back() == u'-')
        return false;
    QChar previous;
    for (const QChar c : word) {
        if (c == u'-') {
            if (previous == u'-')
                return false;
        } else if (!c.isLetter()) {
            return false;
        }
        previous = c;
    }
    return true;
}

TStatus SelectHeadwords(const QString& folder, const QString& baseName,
                        const QString& preferredCode, THeadwordSelection& selection) {
    selection = {};
    TDictDB db(0, folder);
    if (TStatus s = db.Open(baseName); !s.ok())
        return s;
    int preferred = -1;
    for (int i = 0; i < 2; ++i) {
        selection.Codes[i] = db.Language(i).Code;
        if (preferred < 0 && SameText(selection.Codes[i], preferredCode))
            preferred = i;
    }
    if (preferred < 0)
        return TStatus::Error(
            QStringLiteral("%1 has no language %2 (its languages: %3, %4)")
                .arg(db.DataFile(), preferredCode, selection.Codes[0], selection.Codes[1]));

    TWordList lists[2];
    for (int i = 0; i < 2; ++i) {
        if (TStatus s = lists[i].LoadFromFile(db.AppDir() + db.Language(i).IndexFile); !s.ok())
            return s;
        selection.Headwords[i] = lists[i].Count();
    }
    const int other = 1 - preferred;
    TWordList& preferredList = lists[preferred];
    for (const int language : {preferred, other}) {
        const TWordList& list = lists[language];
        for (int k = 0; k < list.Count(); ++k) {
            QString word = list.TextAt(k);
            if (!IsSingleWord(word)) {
                ++selection.NotSingleWords[language];
            } else if (language == other && preferredList.IndexOf(word) >= 0) {
                // Both lists ascend, so the cursor walk of IndexOf stays short.
                ++selection.Shared;
            } else {
                selection.Jobs.push_back({std::move(word), language});
            }
        }
    }
    return TStatus::Ok();
}

} // namespace quillet
