// SPDX-License-Identifier: GPL-2.0-or-later
#include "Suggest.h"

#include "Collation.h"
#include "DictDB.h"
#include "FileIO.h"
#include "SuggestIndex.h"
#include "WordFold.h"

#include <algorithm>
#include <QElapsedTimer>
#include <QFileInfo>

namespace quillet {

namespace {

// Longer texts get no typo search: no headword of that length is a typo of them that
// the lookup's prefix match would not already show.
constexpr int kMaxTypoLength = 48;
// Texts with more ae/oe/ue than this are not read back in every combination.
constexpr int kMaxTransliterations = 4;

bool hasLetter(QStringView text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isLetter(); });
}

std::u16string lowerOf(QStringView text) {
    std::u16string lower(size_t(text.size()), u'\0');
    for (qsizetype i = 0; i < text.size(); ++i)
        lower[size_t(i)] = LowerUnit(text[i].unicode());
    return lower;
}

// The edit distance of the two texts' lower case (restricted Damerau-Levenshtein), umlauts
// and accents counting: between near words of equal distance under the spelling key, the
// one that keeps what was typed is likelier.
int typedDistance(const std::u16string& a, QStringView b) {
    const size_t n = size_t(b.size());
    std::vector<int> rows[3] = {std::vector<int>(n + 1), std::vector<int>(n + 1),
                                std::vector<int>(n + 1)};
    for (size_t j = 0; j <= n; ++j)
        rows[1][j] = int(j);
    for (size_t i = 1; i <= a.size(); ++i) {
        std::vector<int>&row = rows[(i + 1) % 3], &up = rows[i % 3], &upper = rows[(i + 2) % 3];
        row[0] = int(i);
        for (size_t j = 1; j <= n; ++j) {
            const char16_t c = LowerUnit(b[qsizetype(j - 1)].unicode());
            int v = std::min(up[j], row[j - 1]) + 1;
            v = std::min(v, up[j - 1] + (a[i - 1] == c ? 0 : 1));
            if (i > 1 && j > 1 && a[i - 1] == LowerUnit(b[qsizetype(j - 2)].unicode()) &&
                a[i - 2] == c)
                v = std::min(v, upper[j - 2] + 1);
            row[j] = v;
        }
    }
    return rows[(a.size() + 1) % 3][n];
}

// The spelling keys that ae, oe and ue in `key` may stand for: each of them read as ä, ö,
// ü (whose key is a, o, u) or as typed, every combination but the key itself.
std::vector<std::u16string> umlautReadings(const std::u16string& key) {
    std::vector<size_t> at;
    for (size_t i = 0; i + 1 < key.size() && int(at.size()) < kMaxTransliterations; ++i)
        if ((key[i] == u'a' || key[i] == u'o' || key[i] == u'u') && key[i + 1] == u'e')
            at.push_back(i + 1);
    std::vector<std::u16string> readings;
    for (unsigned mask = 1; mask < 1u << at.size(); ++mask) {
        std::u16string reading;
        size_t from = 0;
        for (size_t b = 0; b < at.size(); ++b) {
            if (mask & 1u << b) {
                reading.append(key, from, at[b] - from);
                from = at[b] + 1;
            }
        }
        reading.append(key, from);
        readings.push_back(std::move(reading));
    }
    return readings;
}

} // namespace

QString SuggestionKindName(TSuggestionKind kind) {
    switch (kind) {
    case TSuggestionKind::OtherLanguage:
        return QStringLiteral("other-language");
    case TSuggestionKind::Spelling:
        return QStringLiteral("spelling");
    case TSuggestionKind::Form:
        return QStringLiteral("form");
    case TSuggestionKind::Typo:
        break;
    }
    return QStringLiteral("typo");
}

TSuggester::TSuggester() = default;
TSuggester::~TSuggester() = default;

bool TSuggester::IsBuilt() const {
    return FIndex != nullptr;
}

void TSuggester::DropResidentPages() const {
    if (FIndex)
        FIndex->DropResidentPages();
}

void TSuggester::OpenStems(int direction) const {
    (void)Stemmer(direction);
}

bool TSuggester::StemsReady(int direction) const {
    const TStems* stems = direction == 0 || direction == 1 ? FStems[direction].get() : nullptr;
    return !stems || stems->Ready.load(std::memory_order_acquire);
}

void TSuggester::WaitForStems() const {
    OpenStems(0);
    OpenStems(1);
}

const TStemmer* TSuggester::Stemmer(int direction) const {
    TStems* stems = direction == 0 || direction == 1 ? FStems[direction].get() : nullptr;
    if (!stems)
        return nullptr;
    std::call_once(stems->Opened, [stems] {
        stems->Stemmer = TStemmer::Open(stems->AffixFile);
        stems->Ready.store(true, std::memory_order_release);
    });
    return stems->Stemmer.get();
}

TStatus TSuggester::Build(const TDictDB& db, const TSuggestOptions& options) {
    QElapsedTimer timer;
    timer.start();
    FIndex.reset();
    if (FStemsOpen.valid())
        FStemsOpen.wait(); // an opening thread of an earlier Build
    FStemsOpen = {};
    FStems[0].reset();
    FStems[1].reset();
    FStats = {};
    FEntryForms = options.EntryForms;

    // The current direction's Hunspell dictionary opens beside the reading of the index
    // (and the rest of the dictionary's loading) rather than before the first lookup.
    if (!options.HunspellFolder.isEmpty()) {
        for (int d = 0; d < 2; ++d) {
            const QString affixFile =
                TStemmer::FindAffixFile(db.Language(d).Code, options.HunspellFolder);
            FStats.Stems[d] = !affixFile.isEmpty();
            if (FStats.Stems[d]) {
                FStems[d] = std::make_unique<TStems>();
                FStems[d]->AffixFile = affixFile;
            }
        }
        if (FStems[db.Direction()])
            FStemsOpen =
                std::async(std::launch::async, [this, d = db.Direction()] { OpenStems(d); });
        FStats.StemsMs = timer.restart();
    }

    const QString folder = db.AppDir();
    const QString files[3] = {folder + db.DataFile(), folder + db.Language(0).IndexFile,
                              folder + db.Language(1).IndexFile};
    auto index = std::make_unique<TSuggestIndex>();
    TSuggestIndexOwner owner;
    owner.TdbHeader = db.Header();
    for (int f = 0; f < 3; ++f)
        owner.FileSizes[f] = QFileInfo(files[f]).size();
    const QString path = folder + db.BaseName() + "." + kSuggestIndexExtension;
    TStatus read = index->Read(path, owner);
    for (int d = 0; d < 2 && read.ok(); ++d)
        if (db.IndexLoaded(d) && db.WordList(d).Count() != index->Direction(d).Count())
            read = TStatus::Error("File " + path + " was made for other files of the dictionary");
    if (read.ok()) {
        FStats.FromFile = true;
        FStats.ReadMs = timer.restart();
    } else {
        FStats.IndexNote = read.message();
        QByteArray bytes[3];
        for (int f = 0; f < 3; ++f)
            if (TStatus s = ReadWholeFile(files[f], bytes[f]); !s.ok())
                return s;
        QByteArray made;
        if (TStatus s = TSuggestIndex::Make(bytes[0], bytes[1], bytes[2], made, &FStats.FormsMs);
            !s.ok())
            return s;
        bytes[0] = bytes[1] = bytes[2] = {};
        if (TStatus s = index->Adopt(made); !s.ok())
            return s;
        FStats.ListsMs = timer.restart() - FStats.FormsMs;
    }
    for (int d = 0; d < 2; ++d) {
        FStats.Words[d] = index->Direction(d).KeyedCount();
        FStats.Forms[d] = options.EntryForms ? index->Direction(d).FormCount() : 0;
    }
    FStats.Bytes = index->Bytes();
    FIndex = std::move(index);
    FStats.BuildMs = FStats.ReadMs + FStats.ListsMs + FStats.FormsMs + FStats.StemsMs;
    return TStatus::Ok();
}

TSuggestionArray TSuggester::Suggest(QStringView text, int direction, QStringView shown) const {
    TSuggestionArray out;
    if (!IsBuilt() || text.isEmpty() || (direction != 0 && direction != 1))
        return out;
    for (QChar c : text)
        if (c.unicode() < 33)
            return out;
    if (!hasLetter(text))
        return out;
    const TSuggestDirection& here = FIndex->Direction(direction);
    const TSuggestDirection& other = FIndex->Direction(1 - direction);
    if (here.Count() == 0)
        return out;
    const QStringView landing = shown.isNull() ? here.Word(quint32(here.Landing(text))) : shown;
    auto add = [&](QStringView word, TSuggestionKind kind, int dir) {
        if (int(out.size()) >= kMaxSuggestions)
            return;
        if (dir == direction && (SameText(word, landing) || SameText(word, text)))
            return;
        for (const TSuggestion& s : out)
            if (SameText(s.Word, word))
                return;
        out.push_back({word.toString(), kind, dir});
    };
    auto byRefs = [&](std::vector<quint32>& words) {
        std::stable_sort(words.begin(), words.end(),
                         [&](quint32 a, quint32 b) { return here.RefsOf(a) > here.RefsOf(b); });
    };
    auto addOnce = [](std::vector<quint32>& words, quint32 w) {
        if (std::find(words.begin(), words.end(), w) == words.end())
            words.push_back(w);
    };
    // A headword that only occurs inside phrases and parentheses (ranks 6 to 9: "Fussball"
    // in an example sentence) or as a stopword does not stand for what the user meant; one
    // that an item of an entry is about (ranks 1 to 5) does.
    const int found = here.Find(text);
    const bool headword =
        found >= 0 && here.RankOf(quint32(found)) >= 1 && here.RankOf(quint32(found)) <= 5;
    const std::u16string key = SpellingKey(text);

    if (!headword) {
        std::vector<quint32> words;
        for (quint32 w : here.WithKey(key))
            addOnce(words, w);
        // ae, oe, ue typed for ä, ö, ü: a headword whose umlauts, so typed, give the text.
        const std::u16string typed = SpellingKey(text, true);
        for (const std::u16string& reading : umlautReadings(key))
            for (quint32 w : here.WithKey(reading))
                if (SpellingKey(here.Word(w), true) == typed)
                    addOnce(words, w);
        // And the other way round: ä, ö, ü typed where the headword has ae, oe, ue.
        if (typed != key)
            for (quint32 w : here.WithKey(typed))
                addOnce(words, w);
        byRefs(words);
        for (quint32 w : words)
            add(here.Word(w), TSuggestionKind::Spelling, direction);
    }

    {
        // The entries' own form lists first, those the form begins like before the others
        // (an item may name several bases, "taumeln; torkeln | ... | taumelte; torkelte"),
        // then the common; then Hunspell's base forms, in its order.
        std::vector<quint32> bases;
        const std::u16string lower = lowerOf(text);
        if (FEntryForms)
            here.BasesOf(lower, bases);
        auto alike = [&](quint32 w) {
            const QStringView word = here.Word(w);
            const qsizetype n = std::min<qsizetype>(3, word.size());
            for (qsizetype i = 0; i < n; ++i)
                if (size_t(i) >= lower.size() || LowerUnit(word[i].unicode()) != lower[size_t(i)])
                    return false;
            return true;
        };
        std::stable_sort(bases.begin(), bases.end(), [&](quint32 a, quint32 b) {
            if (alike(a) != alike(b))
                return alike(a);
            return here.RefsOf(a) > here.RefsOf(b);
        });
        for (quint32 w : bases)
            add(here.Word(w), TSuggestionKind::Form, direction);
        if (const TStemmer* stemmer = Stemmer(direction)) {
            QStringList stems = stemmer->Stems(text);
            if (stems.isEmpty() && text.front().isLower()) // German nouns typed in lower case
                stems = stemmer->Stems(QString(text.front().toUpper()).append(text.sliced(1)));
            for (const QString& stem : stems)
                if (const int w = here.Find(stem); w >= 0)
                    add(here.Word(quint32(w)), TSuggestionKind::Form, direction);
        }
    }

    if (!headword) {
        if (const int w = other.Find(text); w >= 0)
            add(other.Word(quint32(w)), TSuggestionKind::OtherLanguage, 1 - direction);
    }

    if (!headword && int(out.size()) < kMaxSuggestions && text.size() <= kMaxTypoLength) {
        // Two edits only where no headword is one edit away (but the one shown): the
        // search within two costs five times the search within one, and a word one edit
        // away is the likelier meaning anyway.
        std::vector<TSuggestDirection::TNear> near;
        here.Near(key, 1, near);
        const bool oneAway = std::any_of(near.begin(), near.end(), [&](const auto& n) {
            return n.Distance == 1 && !SameText(here.Word(n.Word), landing);
        });
        if (text.size() >= 8 && !oneAway) {
            near.clear();
            here.Near(key, 2, near);
        }
        // Nearest first; then what keeps the typed umlauts and accents; then the common.
        const std::u16string lower = lowerOf(text);
        struct TRanked {
            int Distance, Typed;
            quint32 Word;
        };
        std::vector<TRanked> ranked;
        for (const auto& [distance, w] : near)
            if (distance > 0)
                ranked.push_back({distance, typedDistance(lower, here.Word(w)), w});
        std::sort(ranked.begin(), ranked.end(), [&](const TRanked& a, const TRanked& b) {
            if (a.Distance != b.Distance)
                return a.Distance < b.Distance;
            if (a.Typed != b.Typed)
                return a.Typed < b.Typed;
            if (here.RefsOf(a.Word) != here.RefsOf(b.Word))
                return here.RefsOf(a.Word) > here.RefsOf(b.Word);
            return a.Word < b.Word;
        });
        for (const TRanked& r : ranked)
            add(here.Word(r.Word), TSuggestionKind::Typo, direction);
    }
    return out;
}

} // namespace quillet
