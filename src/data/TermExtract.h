// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <memory>
#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>
#include <string_view>
#include <vector>

// Term extraction: which words of one side of an entry become headwords, and with which
// rank, so that lookups list the entries that are about a word before those that only
// mention it. Ranks: 1 the side is this word alone, higher numbers a weaker tie, 9 for
// words in parentheses, 0 the word occurs only as a stopword.
//
// Thread safety: the objects here belong to one thread at a time.
namespace quillet {

// Maps words to ids of their equality class under CompareText, caching by exact form,
// so that an import compares millions of words at the cost of one collation key per
// distinct spelling.
class TTermClasses {
public:
    int ClassOf(QStringView word);
    int Count() const { return int(FKeyStart.size()) - 1; }
    // The collation key of a class: sorting classes by it (bytes unsigned, a key before
    // its extensions) sorts them under CompareText. Valid until the next ClassOf.
    std::string_view KeyOf(int cls) const {
        return {FKeyBytes.data() + FKeyStart[size_t(cls)],
                FKeyStart[size_t(cls) + 1] - FKeyStart[size_t(cls)]};
    }

private:
    // Open-addressing tables over one arena each, for the spellings and for the keys: the
    // import looks up millions of words and makes half a million classes, and node-based
    // maps spend most of that time on cache misses and most of their memory on nodes.
    struct TSlot {
        quint32 Hash = 0;
        quint32 Pos = 0;
        quint32 Len = 0;
        qint32 Class = -1; // -1: empty
    };
    struct TKeySlot {
        quint32 Hash = 0;
        qint32 Class = -1; // -1: empty
    };
    int ClassOfKey(std::string_view key);

    std::vector<TSlot> FSlots = std::vector<TSlot>(1024);
    std::vector<char16_t> FChars;
    size_t FUsed = 0;
    std::vector<TKeySlot> FKeySlots = std::vector<TKeySlot>(1024);
    std::vector<char> FKeyBytes;            // the classes' keys one after the other
    std::vector<size_t> FKeyStart = {0};    // where each class's key begins; the last: the end
};

// One stopword list (Windows-1252, one word a line). Membership is a whole word under
// CompareText, tested on the word as it reads after conversion to Windows-1252.
class TStopwords {
public:
    // Reads the list; a missing file gives an empty list (false), like no stopwords.
    bool Load(const QString& path, TTermClasses& classes);
    void Add(const QString& word, TTermClasses& classes);
    bool Contains(QStringView word, TTermClasses& classes) const;
    // Contains() for a word whose class is known and that reads the same in Windows-1252.
    bool ContainsClass(int cls) const { return FClasses.contains(cls); }
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
// two equal under CompareText; a term longer than 255 UTF-8 bytes is cut to that length
// at a character boundary (the longest headword an index file holds).
TTermRecArray ExtractTerms(const QString& side, const TStopwords& stopwords, TTermClasses& classes);

// The same extraction for the import's hot loop: reuses its buffers and hands out views.
class TTermExtractor {
public:
    struct THit {
        QStringView Term; // valid until the next Extract
        quint8 Rank;
        int Class;
    };

    TTermExtractor(const TStopwords& stopwords, TTermClasses& classes)
        : FStopwords(stopwords), FClasses(classes) {}
    const std::vector<THit>& Extract(QStringView side);

private:
    void AddWords(QStringView item, qsizetype i, qsizetype nI, qsizetype a);
    void AddParenthesised(QStringView word);
    void AddWord(QStringView word, quint8 rank);
    void AddWord(QStringView cut, quint8 rank, int cls);
    int ClassOfStopword(QStringView word, QStringView& cut, bool& stopword);
    int Find(int cls) const;
    QStringView Keep(QStringView text);
    char16_t* Reserve(qsizetype units);
    QStringView Commit(const char16_t* begin, const char16_t* end);
    QStringView Cut(QStringView word);

    static constexpr int kMaxTermBytes = 255; // the longest headword an index file holds

    const TStopwords& FStopwords;
    TTermClasses& FClasses;
    QString FText;
    // Texts the views of the current result point into, in chunks that stay from one
    // Extract to the next: once the first entries are done no text allocates.
    struct TChunk {
        std::unique_ptr<char16_t[]> Units;
        qsizetype Size;
    };
    static constexpr qsizetype kChunkUnits = 4096;
    std::vector<TChunk> FChunks;
    size_t FChunk = 0;    // the chunk being filled
    qsizetype FUsed = 0;  // units used in it
    std::vector<THit> FHits;
};

} // namespace quillet
