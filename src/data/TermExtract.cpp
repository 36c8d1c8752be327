// SPDX-License-Identifier: GPL-2.0-or-later
#include "TermExtract.h"

#include "Ansi.h"
#include "Collation.h"
#include "FileIO.h"
#include "TextTools.h"

#include <QSet>

namespace quillet {
namespace {

// Deleted from a side before its words are taken.
const QString kDeletedChars = QStringLiteral("^$!?,\"'%&+=<>\u00B00123456789\u00A9\u00AE~");
const QString kSlashColon[2] = {QStringLiteral("/"), QStringLiteral(":")};
const QString kBlanks[2] = {QStringLiteral(" "), QStringLiteral(" ")};

class TTermCollector {
public:
    TTermCollector(const TStopwords& stopwords, TTermClasses& classes)
        : FStopwords(stopwords), FClasses(classes) {}

    bool IsStopword(const QString& word) { return FStopwords.Contains(word, FClasses); }

    // A word in parentheses: added only if new; an existing term keeps its rank.
    void AddOptional(const QString& word, quint8 rank) {
        const int cls = FClasses.ClassOf(word);
        if (find(cls) < 0)
            FTerms.push_back({word, rank, cls});
    }

    // A word outside parentheses: a term met again takes the stronger rank, unless the
    // new rank is 0; the first form stays.
    void AddWord(const QString& word, quint8 rank) {
        const int cls = FClasses.ClassOf(word);
        const int at = find(cls);
        if (at < 0) {
            FTerms.push_back({word, rank, cls});
        } else if (rank != 0 && rank < FTerms[size_t(at)].Rank) {
            FTerms[size_t(at)].Rank = rank;
        }
    }

    TTermRecArray Take() { return std::move(FTerms); }

private:
    int find(int cls) const {
        for (size_t i = 0; i < FTerms.size(); ++i) {
            if (FTerms[i].Class == cls)
                return int(i);
        }
        return -1;
    }

    const TStopwords& FStopwords;
    TTermClasses& FClasses;
    TTermRecArray FTerms;
};

void addParenthesised(QString word, TTermCollector& out) {
    word.remove(u'(');
    word.remove(u')');
    word.replace(u';', u' ');
    DeleteEnclosed(word, u'[', u']');
    for (const QString& piece : SplitTopLevel(word, u' ')) {
        const QChar last = piece.back();
        if (piece.size() > 2 && last != u'.' && last != u'-')
            out.AddOptional(piece, out.IsStopword(piece) ? 0 : 9);
    }
}

bool skipped(const QString& word) {
    const QChar first = word.front();
    const QChar last = word.back();
    if (first == u'[' || first == u'-' || first == u'\u2026' || first == u'.' || first == u'{')
        return true;
    if (last == u'.' || last == u'-')
        return true;
    return word.size() == 1 && word != u"I" && word != u"a";
}

// The rank of word w of item i of alternative a, from the first rule that applies.
quint8 rankOf(const QStringList& words, qsizetype w, qsizetype i, qsizetype nI, qsizetype a,
              TTermCollector& out) {
    const qsizetype nW = words.size();
    if (nI == 1 && nW == 1)
        return a == 0 ? 1 : 2;
    if (a == 0 && w == 1 && nI == 1 && nW == 3 && words[0] == u"to" && words[2].startsWith(u'{'))
        return 2;
    if (a == 0 && w == 1 && nI == 1 && nW == 2 && words[0] == u"to")
        return 2;
    if (w == 0 && (nW == 1 || (nW == 2 && words[1].startsWith(u'{'))))
        return 3;
    if (a == 0 && i == 0 && w == 0)
        return 4;
    if (i == 0 && w == 0)
        return 5;
    if (w == 0)
        return (words[1].startsWith(u'[') || words[1].startsWith(u'{')) ? 6 : 7;
    return out.IsStopword(words[w]) ? 0 : 8;
}

} // namespace

int TTermClasses::ClassOf(const QString& word) {
    if (auto it = FByForm.constFind(word); it != FByForm.constEnd())
        return it.value();
    QByteArray key = CollationKey(word);
    int cls;
    if (auto byKey = FByKey.constFind(key); byKey != FByKey.constEnd()) {
        cls = byKey.value();
    } else {
        cls = Count();
        FByKey.insert(key, cls);
        FKeys.push_back(std::move(key));
    }
    FByForm.insert(word, cls);
    return cls;
}

bool TStopwords::Load(const QString& path, TTermClasses& classes) {
    FClasses.clear();
    QByteArray bytes;
    if (!ReadWholeFile(path, bytes).ok())
        return false;
    bytes.replace('\r', '\n');
    for (const QByteArray& line : bytes.split('\n')) {
        const QByteArray word = TrimAnsi(line);
        if (!word.isEmpty())
            FClasses.insert(classes.ClassOf(FromAnsi(word)));
    }
    return true;
}

void TStopwords::Add(const QString& word, TTermClasses& classes) {
    FClasses.insert(classes.ClassOf(word));
}

bool TStopwords::Contains(const QString& word, TTermClasses& classes) const {
    if (FClasses.isEmpty())
        return false;
    return FClasses.contains(classes.ClassOf(FromAnsi(ToAnsi(word))));
}

TTermRecArray ExtractTerms(const QString& side, const TStopwords& stopwords,
                           TTermClasses& classes) {
    TTermCollector out(stopwords, classes);
    QString text = side;
    DeleteChars(text, kDeletedChars);
    ReplaceAll(text, kSlashColon, kBlanks);
    const QStringList alternatives = SplitTopLevel(text, u'|');
    for (qsizetype a = 0; a < alternatives.size(); ++a) {
        const QStringList items = SplitTopLevel(alternatives[a], u';');
        const qsizetype nI = items.size();
        for (qsizetype i = 0; i < nI; ++i) {
            QString item = items[i];
            DeleteEnclosed(item, u'{', u'}');
            const QStringList words = SplitTopLevel(Trim(item), u' ');
            for (qsizetype w = 0; w < words.size(); ++w) {
                const QString& word = words[w];
                if (word.startsWith(u'(')) {
                    addParenthesised(word, out);
                } else if (!skipped(word)) {
                    out.AddWord(word, rankOf(words, w, i, nI, a, out));
                }
            }
        }
    }
    return out.Take();
}

} // namespace quillet
