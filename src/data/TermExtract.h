// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <vector>

// Term extraction: which words of one side of an entry become headwords, and with which
// rank, so that lookups list the entries that are about a word before those that only
// mention it. Ranks: 1 the side is this word alone, higher numbers a weaker tie, 9 for
// words in parentheses, 0 the word occurs only as a stopword.
//
// Thread safety: a TTermClasses or TStopwords object belongs to one thread at a time.
namespace quillet {

// Maps words to ids of their equality class under CompareText, caching by exact form,
// so that an import compares millions of words at the cost of one collation key per
// distinct spelling.
class TTermClasses {
public:
    int ClassOf(const QString& word);
    int Count() const { return int(FKeys.size()); }
    // The collation key of a class: sorting classes by it sorts them under CompareText.
    const QByteArray& KeyOf(int cls) const { return FKeys[size_t(cls)]; }

private:
    QHash<QString, int> FByForm;
    QHash<QByteArray, int> FByKey;
    std::vector<QByteArray> FKeys;
};

// One stopword list (Windows-1252, one word a line). Membership is a whole word under
// CompareText, tested on the word as it reads after conversion to Windows-1252.
class TStopwords {
public:
    TStopwords() = default;
    // Reads the list; a missing file gives an empty list (false), like no stopwords.
    bool Load(const QString& path, TTermClasses& classes);
    void Add(const QString& word, TTermClasses& classes);
    bool Contains(const QString& word, TTermClasses& classes) const;
    int Count() const { return int(FClasses.size()); }

private:
    QSet<int> FClasses;
};

struct TTermRec {
    QString Term;
    quint8 Rank = 0;
    int Class = -1; // equality class in the TTermClasses used for the extraction
};
using TTermRecArray = std::vector<TTermRec>;

// The terms of one side (already trimmed), in the order of their first occurrence, no
// two equal under CompareText.
TTermRecArray ExtractTerms(const QString& side, const TStopwords& stopwords,
                           TTermClasses& classes);

} // namespace quillet
