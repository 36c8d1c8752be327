// SPDX-License-Identifier: GPL-2.0-or-later
#include "DictDB.h"

#include "DataFolders.h"
#include "FileIO.h"
#include "platform/FileSystem.h"
#include "SetInstall.h"
#include "TextTools.h"

#include <algorithm>
#include <iterator>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace quillet {
namespace {

QString withSeparator(QString folder) {
    if (folder.isEmpty())
        folder = QCoreApplication::instance() ? QCoreApplication::applicationDirPath()
                                              : QDir::currentPath();
    folder = QDir::cleanPath(folder);
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

// The offsets of the references, ascending and without repeats. The references of a
// headword come in a few ascending runs (one per rank), which merge faster than they sort.
std::vector<quint32> sortedOffsets(const TTermRefArray& refs) {
    std::vector<quint32> offsets;
    offsets.reserve(refs.size());
    std::vector<size_t> runs{0};
    for (size_t i = 0; i < refs.size(); ++i) {
        if (i > 0 && refs[i].Offset < refs[i - 1].Offset)
            runs.push_back(i);
        offsets.push_back(refs[i].Offset);
    }
    if (runs.size() > 16) {
        std::sort(offsets.begin(), offsets.end());
    } else {
        runs.push_back(offsets.size());
        for (size_t r = 1; r + 1 < runs.size(); ++r)
            std::inplace_merge(offsets.begin(), offsets.begin() + qsizetype(runs[r]),
                               offsets.begin() + qsizetype(runs[r + 1]));
    }
    offsets.erase(std::unique(offsets.begin(), offsets.end()), offsets.end());
    return offsets;
}

// The references of the first array whose offsets occur in every other array, in the
// first array's order, all with rank 1.
TTermRefArray sharedReferences(const std::vector<TTermRefArray>& arrays) {
    size_t smallest = 0;
    for (size_t i = 1; i < arrays.size(); ++i) {
        if (arrays[i].size() < arrays[smallest].size())
            smallest = i;
    }
    std::vector<quint32> common = sortedOffsets(arrays[smallest]);
    std::vector<quint32> kept;
    for (size_t i = 0; i < arrays.size() && !common.empty(); ++i) {
        if (i == smallest)
            continue;
        const std::vector<quint32> other = sortedOffsets(arrays[i]);
        kept.clear();
        std::set_intersection(common.begin(), common.end(), other.begin(), other.end(),
                              std::back_inserter(kept));
        common.swap(kept);
    }
    TTermRefArray result;
    if (common.empty())
        return result;
    for (const TTermRef& ref : arrays[0]) {
        if (std::binary_search(common.begin(), common.end(), ref.Offset))
            result.push_back({ref.Offset, 1});
    }
    return result;
}

} // namespace

TDictDB::TDictDB(int direction, const QString& folder) : TDictDB(direction, QStringList{folder}) {}

TDictDB::TDictDB(int direction, const QStringList& folders) : FDirection(direction == 1 ? 1 : 0) {
    for (const QString& folder : folders)
        FFolders.append(withSeparator(folder));
    FAppDir = FFolders.value(0, withSeparator({}));
    FWordLists[0] = std::make_unique<TWordList>();
    FWordLists[1] = std::make_unique<TWordList>();
    FPronunciations = std::make_unique<TPronunciationTable>();
    FindDictionaries();
}

void TDictDB::FindDictionaries() {
    for (const QString& folder : FFolders)
        FindDictionariesIn(folder);
}

void TDictDB::FindDictionariesIn(const QString& folder) {
    const QDir dir(folder);
    // An installation cut short by a kill or a power loss is finished before the sets are
    // read, so that none of them is seen half old, half new.
    for (const QString& base : SetsWithInstallLeftovers(folder))
        (void)RecoverSet(folder, base, kRecoveryWaitMs);
    const QStringList names = FilesNamed(folder, {}, u".tdb", QDir::Name);
    for (const QString& name : names) {
        const QString base = BaseNameOf(name);
        if (std::any_of(FDictionaries.begin(), FDictionaries.end(),
                        [&base](const TDictionaryFile& found) { return found.BaseName == base; }))
            continue; // hidden by the set of an earlier folder
        // Only regular files: opening a FIFO would wait for a writer forever.
        if (!IsRegularFile(dir.filePath(base + ".tx1")) ||
            !IsRegularFile(dir.filePath(base + ".tx2")))
            continue;
        QFile file;
        if (!OpenRegularFile(file, dir.filePath(name), name).ok())
            continue;
        const QByteArray header = file.read(kHeaderSize);
        if (header.size() < kHeaderSize)
            continue; // too short to be a dictionary
        FDictionaries.push_back({ParseHeader(header).Title, base, folder});
    }
}

QString TDictDB::FolderOf(const QString& baseName) const {
    for (const TDictionaryFile& file : FDictionaries) {
        if (file.BaseName == baseName)
            return file.Folder;
    }
    // Not a complete set anywhere: the first one with its entry file, so that the error
    // tells what is wrong with it.
    for (const QString& folder : FFolders) {
        if (QFileInfo::exists(folder + baseName + ".tdb"))
            return folder;
    }
    return FFolders.value(0, FAppDir);
}

TStatus TDictDB::Open(const QString& baseName) {
    FAppDir = FolderOf(baseName);
    FBaseName = baseName;
    FLanguages[0].IndexFile = baseName + ".tx1";
    FLanguages[1].IndexFile = baseName + ".tx2";
    FLanguages[0].FlagFile = baseName + "_1.bmp";
    FLanguages[1].FlagFile = baseName + "_2.bmp";
    FDataFile = baseName + ".tdb";
    FEntries.Close();
    if (TStatus s = RecoverSet(FAppDir, baseName, kRecoveryWaitMs); !s.ok())
        return s;
    return OpenEntries();
}

TStatus TDictDB::OpenEntries() {
    const QString path = FAppDir + FDataFile;
    // The entry file stays open from here on: the loaded indexes point into this very
    // file, even when an import elsewhere puts a new set under its name.
    if (TStatus s = FEntries.Open(path, FDataFile); !s.ok())
        return QFileInfo::exists(path) ? s : TStatus::NotFound(path);
    const QByteArray header = FEntries.ReadStart(kHeaderSize);
    if (header.size() < kHeaderSize) {
        FEntries.Close();
        return TStatus::Error("File " + path + " is damaged: it is shorter than its header");
    }
    FHeader = header;
    const THeaderInfo info = ParseHeader(header);
    FTitle = info.Title;
    for (int i = 0; i < 2; ++i) {
        FLanguages[i].Name = info.LanguageName[i];
        FLanguages[i].Code = info.LanguageCode[i].left(2);
    }
    FMeta = ReadMetaData(FAppDir + FBaseName + ".ini");
    return TStatus::Ok();
}

TStatus TDictDB::LoadIndex() {
    if (FWordLists[FDirection]->Count() > 0)
        return TStatus::Ok();
    const QString dataPath = FAppDir + FDataFile;
    // The index must belong to the entry file that is open. When another import put a new
    // set in place since it was opened, the new entry file is opened instead and the
    // other direction's index, which points into the old one, is dropped. An import that
    // lands while the index is read shows in the same check afterwards: then once more.
    for (int attempt = 0;; ++attempt) {
        if (FEntries.IsOpen() && !(FEntries.Identity() == IdentityOf(dataPath))) {
            FWordLists[OtherDirection()]->Clear();
            if (TStatus s = RecoverSet(FAppDir, FBaseName, kRecoveryWaitMs); !s.ok())
                return s;
            if (TStatus s = OpenEntries(); !s.ok())
                return s;
        }
        FIndexStatus[FDirection] = TStatus::Ok();
        // With the index's record table a lookup in a fresh process reads a few records
        // instead of walking the whole file first; sets without one are walked.
        const QString indexPath = FAppDir + FLanguages[FDirection].IndexFile;
        const TRecordTableOwner owner{FHeader, FEntries.Size()};
        TStatus status =
            FIndexInPlace
                ? FWordLists[FDirection]->LoadFromFile(
                      indexPath, FAppDir + FBaseName + (FDirection == 0 ? ".tr1" : ".tr2"), owner)
                : FWordLists[FDirection]->LoadFromFile(indexPath);
        if (!status.ok() || !FEntries.IsOpen() || FEntries.Identity() == IdentityOf(dataPath) ||
            attempt == 2) {
            // Many lookups read rows all over the entry file: its pages come in now, in one
            // go, instead of a page fault apiece during the lookups (some 40 for a lookup
            // of 101 rows, each dearer than the row's reading).
            if (status.ok() && !FIndexInPlace)
                FEntries.PopulateResidentPages();
            return status;
        }
        FWordLists[FDirection]->Clear();
    }
}

TStatus TDictDB::LoadPronunciations() {
    if (PronunciationsLoaded())
        return TStatus::Ok();
    const QString path = FAppDir + FBaseName + ".ipa";
    if (FBaseName.isEmpty() || !QFileInfo::exists(path))
        return TStatus::Ok();
    // Filled aside and handed over whole, so that GetPronunciation never sees it half-read.
    auto table = std::make_unique<TPronunciationTable>();
    TStatus status = table->LoadFromFile(path);
    if (!status.ok())
        return status;
    std::lock_guard lock(FPronunciationLock);
    FPronunciations = std::move(table);
    return status;
}

void TDictDB::TrimResidentMemory() {
    FWordLists[0]->DropResidentPages();
    FWordLists[1]->DropResidentPages();
    FEntries.DropResidentPages();
    std::lock_guard lock(FPronunciationLock);
    FPronunciations->DropResidentPages();
}

bool TDictDB::PronunciationsLoaded() const {
    std::lock_guard lock(FPronunciationLock);
    return FPronunciations->Loaded() && FPronunciations->Count() > 0;
}

void TDictDB::ToggleDirection() {
    FDirection = 1 - FDirection;
    FWindowStart = FWindowEnd = -1;
}

int TDictDB::FindWords(QStringView text, QStringList& words) {
    return FindWordsFilling(text, &words);
}

int TDictDB::FindWordsFilling(QStringView text, QStringList* words) {
    const int cursor = FWordLists[FDirection]->CurrentIndex();
    const int windowStart = FWindowStart, windowEnd = FWindowEnd;
    const int position = FindWordsOnce(text, words);
    if (!FWordLists[FDirection]->RecordFault())
        return position;
    // A record the lookup read did not fit the index's record table: the answer is void.
    // The same lookup again, from the same state, on the index read without the table.
    FWindowStart = windowStart;
    FWindowEnd = windowEnd;
    (void)ReadIndexWithoutTable(cursor);
    return FindWordsOnce(text, words);
}

bool TDictDB::ReadIndexWithoutTable(int cursor) {
    TWordList& list = *FWordLists[FDirection];
    FIndexStatus[FDirection] = list.ReadWithoutTable(FAppDir + FLanguages[FDirection].IndexFile);
    if (!FIndexStatus[FDirection].ok())
        return false;
    list.GoTo(cursor);
    return true;
}

int TDictDB::FindWordsOnce(QStringView text, QStringList* words) {
    TWordList& list = *FWordLists[FDirection];
    auto refsAtCursor = [&list] {
        return list.HasCursor() ? list.RefsAt(list.CurrentIndex()) : TTermRefArray();
    };
    if (!Trim(text).contains(u' ')) {
        list.Locate(text);
        FCurrentMatches = refsAtCursor();
    } else {
        const QStringList pieces = SplitText(text, u" ", true);
        std::vector<TTermRefArray> arrays(size_t(pieces.size()));
        for (qsizetype i = pieces.size() - 1; i >= 0; --i) {
            list.Locate(pieces[i]);
            arrays[size_t(i)] = refsAtCursor();
        }
        FCurrentMatches = sharedReferences(arrays);
    }

    const int c = list.CurrentIndex();
    const int n = list.Count();
    if (c - FWindowStart < 25 || FWindowEnd - c < 100) {
        FWindowStart = c > kWindowBefore ? c - kWindowBefore : 0;
        FWindowEnd = c + kWindowAfter < n ? c + kWindowAfter : n - 1;
        if (words) {
            // The strings of the last window are refilled in place: making ~250 new ones
            // (an allocation and a free each) was most of a lookup's time.
            const int count = std::max(FWindowEnd - FWindowStart + 1, 0);
            words->resize(count);
            for (int i = 0; i < count; ++i)
                list.TextInto(FWindowStart + i, (*words)[i]);
        }
    }
    return c - FWindowStart;
}

void TDictDB::SelectWordAt(int position) {
    TWordList& list = *FWordLists[FDirection];
    const int cursor = list.CurrentIndex();
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int index = FWindowStart + position;
        if (index >= 0 && index < list.Count())
            list.GoTo(index);
        FCurrentMatches = list.HasCursor() ? list.RefsAt(list.CurrentIndex()) : TTermRefArray();
        if (!list.RecordFault() || !ReadIndexWithoutTable(cursor))
            return;
    }
}

TStatus TDictDB::GetEntries(TTermPairArray& rows) const {
    if (!FIndexStatus[FDirection].ok()) {
        rows.clear();
        return FIndexStatus[FDirection];
    }
    if (FCurrentMatches.empty()) {
        rows.clear();
        rows.push_back({QStringLiteral("kein Treffer"), QStringLiteral("no match"), 0});
        return TStatus::Ok();
    }
    if (!FEntries.IsOpen()) {
        if (TStatus s = FEntries.Open(FAppDir + FDataFile, FDataFile); !s.ok())
            return s;
    }
    TEntryReader& reader = FEntries;
    const bool anyRanked = std::any_of(FCurrentMatches.begin(), FCurrentMatches.end(),
                                       [](const TTermRef& ref) { return ref.Rank > 0; });
    // The rows' strings of the caller's last lookup are refilled in place (as the window's
    // words are); the rows beyond this lookup's go at the end.
    size_t count = 0;
    for (const TTermRef& ref : FCurrentMatches) {
        if (!anyRanked || ref.Rank > 0) {
            if (count == rows.size())
                rows.emplace_back();
            TTermPair& row = rows[count];
            if (TStatus s = reader.Read(ref.Offset, row.Left, row.Right); !s.ok()) {
                rows.clear();
                return s;
            }
            row.Rank = ref.Rank;
            ++count;
        }
        if (count >= size_t(kMaxRows))
            break;
    }
    rows.resize(count);
    return TStatus::Ok();
}

bool TDictDB::GetPronunciation(QStringView word, QString& ipa) const {
    std::lock_guard lock(FPronunciationLock);
    if (!FPronunciations->Loaded())
        return false;
    return FPronunciations->Find(word, ipa);
}

TStatus TDictDB::Import(const QString& baseName, const QString& sourcePath, const TMetaData& meta,
                        TImportSummary& summary, const TProgressFn& progress,
                        const TWarningFn& warning) {
    FCancel = false;
    TImportRequest request;
    request.Folder = FAppDir;
    request.BaseName = baseName;
    request.SourcePath = sourcePath;
    request.Meta = meta;
    request.StopwordFolders = QStringList{FAppDir} + DataFolders();
    request.Cancel = &FCancel;
    request.Progress = progress;
    request.Warning = warning;
    return quillet::Import(request, summary);
}

} // namespace quillet
