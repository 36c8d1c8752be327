// SPDX-License-Identifier: GPL-2.0-or-later
#include "Import.h"

#include "FileIO.h"
#include "HandoffRing.h"
#include "HashList.h"
#include "ImportLines.h"
#include "SetFileWriter.h"
#include "SetInstall.h"
#include "SuggestIndex.h"
#include "TermExtract.h"
#include "TextTools.h"
#include "WordList.h"

#include <algorithm>
#include <condition_variable>
#include <functional>
#include <latch>
#include <memory>
#include <mutex>
#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>
#include <span>
#include <thread>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace quillet {
namespace {

constexpr int kProgressStep = 100;
const QString kDots[1] = {QStringLiteral("...")};
const QString kEllipsis[1] = {QStringLiteral("\u2026")};

// One index record as TWordList::WriteRecord writes it, without a list of references or a
// text of its own in between: the headword encoded straight into the output, the references
// grouped by rank 1..9, then 0, each group in stored order.
void appendRecord(QByteArray& out, QStringView headword, std::span<const TTermRef> refs,
                  QStringEncoder& utf8) {
    const qsizetype count = qMin<qsizetype>(qsizetype(refs.size()), kMaxReferences);
    const qsizetype at = out.size();
    out.resize(at + 3 + utf8.requiredSpace(headword.size()) + 5 * count);
    char* const record = out.data() + at;
    char* const text = record + 3;
    const qsizetype length = utf8.appendToBuffer(text, headword) - text;
    if (length > kMaxHeadwordBytes) { // never from the term extraction, which cuts terms
        out.truncate(at);
        TWordList::WriteRecord(out, headword, TTermRefArray(refs.begin(), refs.end()));
        return;
    }
    record[0] = char(length);
    record[1] = char(count & 0xFF);
    record[2] = char(count >> 8);
    char* to = text + length;
    unsigned ranks = 0; // the ranks present, as bits
    for (const TTermRef& ref : refs)
        ranks |= 1u << ref.Rank;
    qsizetype left = count;
    for (int rank : {1, 2, 3, 4, 5, 6, 7, 8, 9, 0}) {
        if (!(ranks & (1u << rank)))
            continue;
        for (size_t i = 0; i < refs.size() && left > 0; ++i) {
            if (refs[i].Rank != rank)
                continue;
            const quint32 offset = refs[i].Offset;
            to[0] = char(offset & 0xFF);
            to[1] = char((offset >> 8) & 0xFF);
            to[2] = char((offset >> 16) & 0xFF);
            to[3] = char(offset >> 24);
            to[4] = char(rank);
            to += 5;
            --left;
        }
    }
    out.truncate(to - out.constData());
}

// One language's headwords while the import runs: each distinct term (under CompareText)
// once, in the form met first, with its references in the order they were added.
class THeadwordTable {
public:
    void Add(const TTermExtractor::THit& term, quint32 offset) {
        if (size_t(term.Class) >= FByClass.size())
            FByClass.resize(size_t(term.Class) + 1, -1);
        int& head = FByClass[size_t(term.Class)];
        if (head < 0) {
            head = int(FHeads.size());
            FHeads.push_back({quint32(FForms.size()), quint32(term.Term.size()), term.Class});
            FForms.insert(FForms.end(), term.Term.utf16(), term.Term.utf16() + term.Term.size());
        }
        // The references are counted per headword only when serialised: touching the
        // headword here would cost a cache miss on most references.
        FRefs.push_back({head, {offset, term.Rank}});
    }

    int Count() const { return int(FHeads.size()); }

    // The index file's bytes: headwords in CompareText order.
    QByteArray Serialize(const TTermClasses& classes, qint64& references) const {
        // Group the references by headword, keeping their order (a counting sort).
        std::vector<size_t> start(FHeads.size() + 1, 0);
        for (const TRef& ref : FRefs)
            ++start[size_t(ref.Head) + 1];
        for (size_t h = 0; h < FHeads.size(); ++h)
            start[h + 1] += start[h];
        std::vector<TTermRef> grouped(FRefs.size());
        std::vector<size_t> fill(start.begin(), start.end() - 1);
        for (const TRef& ref : FRefs)
            grouped[fill[size_t(ref.Head)]++] = ref.Ref;

        // Sorted on the collation keys' first sixteen bytes, held inline, and only on a tie
        // on the whole keys: most comparisons then touch no key at all (eight bytes are
        // only four letters or so, which many headwords share).
        struct TOrder {
            quint64 Prefix[2];
            int Head;
            int Class;
        };
        std::vector<TOrder> order(FHeads.size());
        for (size_t h = 0; h < FHeads.size(); ++h) {
            const std::string_view key = classes.KeyOf(FHeads[h].Class);
            quint64 prefix[2] = {0, 0};
            for (size_t i = 0; i < 16; ++i)
                prefix[i / 8] = prefix[i / 8] << 8 | (i < key.size() ? uchar(key[i]) : 0);
            order[h] = {{prefix[0], prefix[1]}, int(h), FHeads[h].Class};
        }
        std::sort(order.begin(), order.end(), [&](const TOrder& a, const TOrder& b) {
            if (a.Prefix[0] != b.Prefix[0])
                return a.Prefix[0] < b.Prefix[0];
            if (a.Prefix[1] != b.Prefix[1])
                return a.Prefix[1] < b.Prefix[1];
            return classes.KeyOf(a.Class) < classes.KeyOf(b.Class);
        });
        QByteArray out;
        out.reserve(qsizetype(FRefs.size()) * 5 + qsizetype(FHeads.size()) * 16);
        references = 0;
        QStringEncoder utf8(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
        for (const TOrder& entry : order) {
            const THead& head = FHeads[size_t(entry.Head)];
            const std::span<const TTermRef> refs(grouped.data() + start[size_t(entry.Head)],
                                                 grouped.data() + start[size_t(entry.Head) + 1]);
            appendRecord(out, QStringView(FForms.data() + head.FormAt, head.FormLength), refs,
                         utf8);
            references += qMin<qint64>(qint64(refs.size()), kMaxReferences);
        }
        return out;
    }

private:
    struct THead {
        quint32 FormAt; // the form met first, in FForms
        quint32 FormLength;
        int Class;
    };
    struct TRef {
        int Head;
        TTermRef Ref;
    };
    std::vector<THead> FHeads;
    std::vector<char16_t> FForms; // the headwords' forms one after the other
    std::vector<TRef> FRefs;
    std::vector<int> FByClass; // class id -> index in FHeads, or -1
};

// The entries of one block: each one's offset, its stored text and, when it is indexed, its
// two trimmed sides, all as UTF-8. The views point into the source when the entry is stored
// as read (nearly always), else into the entry's own converted text; each language's
// thread decodes its side itself, so that the thread reading the lines does no UTF-16 work.
struct TBlockLine {
    quint32 Offset;
    QByteArrayView Entry;
    bool Indexed;
    QByteArrayView Sides[2];
    QByteArray Converted; // the stored text when it differs from the source's bytes
};
using TBlock = std::vector<TBlockLine>;

// Everything one language needs while the import runs; used by one thread at a time.
class TSideIndexer {
public:
    bool LoadStopwords(const QString& path) { return FStopwords.Load(path, FClasses); }

    void Index(const TBlock& block, int side) {
        for (const TBlockLine& line : block) {
            if (!line.Indexed)
                continue;
            // Decoded into the same buffer line after line (a BOM inside the text stays,
            // as with QString::fromUtf8).
            FText.resize(line.Sides[side].size());
            QChar* const end = FDecoder.appendToBuffer(FText.data(), line.Sides[side]);
            FText.truncate(end - FText.constData());
            for (const TTermExtractor::THit& term : FExtractor.Extract(FText))
                FHeads.Add(term, line.Offset);
        }
    }

    int Headwords() const { return FHeads.Count(); }
    QByteArray Serialize(qint64& references) const {
        return FHeads.Serialize(FClasses, references);
    }

private:
    TTermClasses FClasses;
    TStopwords FStopwords;
    TTermExtractor FExtractor{FStopwords, FClasses};
    THeadwordTable FHeads;
    QString FText; // the side being indexed, decoded
    QStringDecoder FDecoder{QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                      QStringDecoder::Flag::ConvertInitialBom};
};

// One job at a time on a thread of its own that lives as long as the object.
class TBackgroundJob {
public:
    TBackgroundJob() : FThread([this] { Loop(); }) {}
    ~TBackgroundJob() {
        {
            std::lock_guard lock(FMutex);
            FQuit = true;
        }
        FWake.notify_all();
        FThread.join();
    }
    // REQUIRES: no job running (Wait() called since the last Start()).
    void Start(std::function<void()> job) {
        {
            std::lock_guard lock(FMutex);
            FJob = std::move(job);
        }
        FWake.notify_all();
    }
    void Wait() {
        std::unique_lock lock(FMutex);
        FWake.wait(lock, [this] { return !FJob; });
    }

private:
    void Loop() {
        std::unique_lock lock(FMutex);
        for (;;) {
            FWake.wait(lock, [this] { return FQuit || FJob; });
            if (FQuit)
                return;
            lock.unlock();
            FJob();
            lock.lock();
            FJob = nullptr;
            FWake.notify_all();
        }
    }

    std::mutex FMutex;
    std::condition_variable FWake;
    std::function<void()> FJob;
    bool FQuit = false;
    std::thread FThread; // last: starts once the members above exist
};

QString findStopwords(const QStringList& folders, const QString& name) {
    for (const QString& folder : folders) {
        const QString path = QDir(folder).filePath(name);
        if (IsRegularFile(path))
            return path;
    }
    return {};
}

} // namespace

bool WriteHeader(QIODevice& out, const TMetaData& meta) {
    const QByteArray header = BuildHeader(meta.Name, QDate::currentDate());
    return out.write(header) == header.size();
}

qint64 WriteEntry(const QByteArray& utf8, QIODevice& out) {
    const qint64 offset = out.pos();
    QByteArray record;
    record.reserve(utf8.size() + 2);
    AppendU16(record, quint16(utf8.size()));
    record.append(utf8);
    out.write(record);
    return offset;
}

TStatus Import(const TImportRequest& request, TImportSummary& summary) {
    summary = {};
    TSetLock lock;
    if (TStatus s = lock.Acquire(request.Folder, request.BaseName); !s.ok()) {
        summary.Busy = lock.Busy();
        return s;
    }
    if (TStatus s = FinishInterruptedInstall(request.Folder, request.BaseName); !s.ok())
        return s;
    QByteArray source;
    if (TStatus s = ReadWholeFile(request.SourcePath, source); !s.ok())
        return s;

    // Each indexer is let go of once its index is written, before its direction of the
    // suggestion index is made, which needs as much memory again.
    std::unique_ptr<TSideIndexer> sides[2] = {std::make_unique<TSideIndexer>(),
                                              std::make_unique<TSideIndexer>()};
    const QString stopwordFiles[2] = {QStringLiteral("stopwords_DE.txt"),
                                      QStringLiteral("stopwords_EN.txt")};
    for (int side = 0; side < 2; ++side) {
        const QString path = findStopwords(request.StopwordFolders, stopwordFiles[side]);
        summary.StopwordsFound[side] = !path.isEmpty() && sides[side]->LoadStopwords(path);
    }

    if (source.startsWith("\xEF\xBB\xBF"))
        source.remove(0, 3);
    std::vector<QByteArrayView> lines = SplitLines(source);
    summary.Lines = int(lines.size());
    const int lineCount = summary.Lines;
    auto warn = [&](int k, const QString& message) {
        if (request.Warning)
            request.Warning(k + 1, message);
    };

    // The entries are assembled in memory: the source's bytes with a length before each
    // line, so that room for all of them is known at the start.
    QByteArray entries = BuildHeader(request.Meta.Name, QDate::currentDate());
    entries.reserve(kHeaderSize + source.size() + 2 * qsizetype(lines.size()));

    // The two languages are indexed side by side: language 2 on a helper thread while
    // this one does language 1, a block of lines at a time, the helper up to a ring of
    // blocks behind (THandoffRing). A block ends at each progress report, and the next
    // one is read only after the report, so that a cancel stops with every line before it
    // and none after it indexed in both languages.
    // The entries' form pairs for the suggestion index are gathered on the way, which
    // would otherwise read every entry again once the indexes are written, by the helper,
    // whose language is the lighter one. The reading thread, which has the lines to read
    // besides its language, takes its share only of the blocks of a helper more than half
    // the ring behind; both take a block's lines in small runs from one counter. Which
    // thread gathers a line's pairs does not matter: they are merged and sorted in the end.
    // A helper that has caught up scans the lines ahead (TLineScans), which the reading
    // thread then only stores.
    struct TRingBlock {
        TBlock Lines;
        std::atomic<size_t> FormsTaken = 0;
    };
    auto gatherForms = [](TRingBlock& block, TSuggestForms& into) {
        constexpr size_t kRun = 8;
        const size_t size = block.Lines.size();
        for (size_t at; (at = block.FormsTaken.fetch_add(kRun)) < size;)
            for (size_t i = at; i < std::min(at + kRun, size); ++i)
                into.AddEntry(block.Lines[i].Entry);
    };
    // A few milliseconds of work: the time the scheduler may take either thread away for.
    constexpr size_t kRingBlocks = 32;
    TBackgroundJob helper;
    THandoffRing<TRingBlock> ring(kRingBlocks);
    TSuggestForms forms[2];
    auto scans = std::make_unique<TLineScans>(lines);
    helper.Start([&] {
        // Between blocks the helper scans the lines ahead of the reading thread.
        while (TRingBlock* block = ring.Take([&] { return scans->ScanNextRun(); })) {
            sides[1]->Index(block->Lines, 1);
            gatherForms(*block, forms[1]);
            ring.Done();
        }
    });
    TRingBlock* block = nullptr;
    auto nextBlock = [&] {
        block = &ring.Next();
        block->Lines.clear();
        block->FormsTaken = 0;
    };
    auto indexBlock = [&] {
        ring.Publish();
        sides[0]->Index(block->Lines, 0);
        if (ring.Pending() > kRingBlocks / 2)
            gatherForms(*block, forms[0]);
    };

    const TStatus read = [&] {
        nextBlock();
        int counter = 1;
        for (int k = 0; k < lineCount; ++k) {
            const QByteArrayView raw = lines[size_t(k)];
            if (raw.isEmpty() || raw.front() == '#')
                continue;
            const TLineScan& scan = scans->Get(size_t(k));
            const bool valid = scan.Valid;
            if (!valid)
                warn(k, QStringLiteral("not valid UTF-8; the bad bytes are stored as U+FFFD"));
            const bool dotted = scan.Dotted;
            // Unchanged text is stored as the very bytes read.
            QByteArray converted;
            if (!valid || dotted) {
                QString text = QString::fromUtf8(raw);
                if (dotted)
                    ReplaceAll(text, kDots, kEllipsis);
                converted = text.toUtf8();
            }
            const QByteArrayView utf8 = (valid && !dotted) ? raw : QByteArrayView(converted);
            if (utf8.size() > kMaxEntryBytes) {
                warn(k, QStringLiteral("longer than %1 bytes; left out").arg(kMaxEntryBytes));
                continue;
            }
            const qint64 offset = entries.size();
            if (offset >= (qint64(1) << 31))
                return TStatus::Error(QStringLiteral(
                    "The source is too large: entries beyond 2 GiB cannot be addressed"));
            AppendU16(entries, quint16(utf8.size()));
            entries.append(utf8);
            ++summary.StoredEntries;

            // The converted text moves into the block; its bytes stay where they are.
            TBlockLine& line = block->Lines.emplace_back();
            line.Offset = quint32(offset);
            line.Entry = utf8;
            if (converted.isNull()) {
                line.Indexed = scan.Indexed;
                line.Sides[0] = scan.Sides[0];
                line.Sides[1] = scan.Sides[1];
            } else {
                line.Indexed = SplitSides(utf8, line.Sides);
            }
            line.Converted = std::move(converted);
            if (!line.Indexed)
                continue;
            ++summary.IndexedLines;
            if (counter == kProgressStep) {
                indexBlock();
                if (request.Progress)
                    request.Progress(k, lineCount);
                counter = 0;
                if (request.Cancel && request.Cancel->load()) {
                    summary.Cancelled = true;
                    return TStatus::Ok();
                }
                nextBlock();
            }
            ++counter;
        }
        indexBlock();
        return TStatus::Ok();
    }();
    ring.Close();
    helper.Wait();
    if (!read.ok())
        return read;
    scans.reset();
    lines = {};
    source = {};
    if (summary.IndexedLines == 0)
        return TStatus::Error("No line of " + request.SourcePath +
                              " has two sides to index; nothing was written");

    // Each file goes to its new file as soon as it is complete (TSetFileWriter): copying
    // 80 MB into the page cache takes a good share of the import's time. Until the install
    // record names them they are new files without a record, which any failure below
    // removes again.
    enum { kTx1, kTx2, kSug, kTr1, kTr2, kTdb, kFiles };
    TSetFile files[kFiles] = {{QStringLiteral("tx1"), {}},
                              {QStringLiteral("tx2"), {}},
                              {QString::fromLatin1(kSuggestIndexExtension), {}},
                              {QStringLiteral("tr1"), {}},
                              {QStringLiteral("tr2"), {}},
                              {QStringLiteral("tdb"), std::move(entries)}};
    TSetFileWriter writer(request.Folder, request.BaseName);
    writer.Add(files[kTdb]);
    auto discard = [&](TStatus status) {
        (void)writer.Finish();
        (void)FinishInterruptedInstall(request.Folder, request.BaseName);
        return status;
    };

    // Each thread writes its language's index and makes its direction of the suggestion
    // index from it. Language 2's is the smaller: its thread then also makes the spelling
    // keys of half of language 1's headwords, both record tables (where each index record
    // begins, for the processes that look up a word or two) and finds the bases of half of
    // language 1's form pairs, once language 1's trie is there.
    forms[0].Append(std::move(forms[1]));
    TSuggestIndexMaker maker(forms[0]);
    auto serialize = [&](int side) {
        const int f = side == 0 ? kTx1 : kTx2;
        files[f].Bytes = sides[side]->Serialize(summary.References[side]);
        summary.Headwords[side] = sides[side]->Headwords();
        sides[side].reset();
        writer.Add(files[f]);
    };
    TStatus made[2], tables[2];
    auto makeTable = [&](int side) {
        const int f = side == 0 ? kTr1 : kTr2;
        tables[side] = TWordList::MakeRecordTable(files[side == 0 ? kTx1 : kTx2].Bytes,
                                                  files[kTdb].Bytes, files[f].Bytes);
        if (tables[side].ok())
            writer.Add(files[f]);
    };
    // Language 1's steps that wait for the other thread's share.
    std::latch wordsRead(1), keysMade(1), trieMade(1);
    helper.Start([&] {
        serialize(1);
        made[1] = maker.MakeWords(1, files[kTx2].Bytes);
        if (made[1].ok()) {
            maker.FindForms(1, 0);
            maker.FindForms(1, 1);
        }
        makeTable(1);
        wordsRead.wait();
        if (made[0].ok())
            maker.MakeKeys(0, 1);
        keysMade.count_down();
        makeTable(0);
        trieMade.wait();
        if (made[0].ok())
            maker.FindForms(0, 1);
    });
    serialize(0);
    made[0] = maker.ReadWords(0, files[kTx1].Bytes);
    wordsRead.count_down();
    if (made[0].ok())
        maker.MakeKeys(0, 0);
    keysMade.wait();
    if (made[0].ok())
        maker.MakeTrie(0);
    trieMade.count_down();
    if (made[0].ok())
        maker.FindForms(0, 0);
    helper.Wait();
    if (request.Abandon && request.Abandon->load())
        return discard(
            TStatus::Error(QStringLiteral("The import was abandoned; nothing was written")));
    for (const TStatus* s : {&made[0], &made[1], &tables[0], &tables[1]})
        if (!s->ok())
            return discard(*s);
#if defined(__GLIBC__)
    // The indexers' many small blocks lie freed between live ones; glibc keeps such pages
    // until told, and the suggestion index's bytes would come on top of them.
    malloc_trim(0);
#endif
    maker.Finish(files[kTdb].Bytes, files[kTx1].Bytes.size(), files[kTx2].Bytes.size(),
                 files[kSug].Bytes);
    writer.Add(files[kSug]);
    if (TStatus s = writer.Finish(); !s.ok())
        return discard(s);
    // The entries last: a reader that opened the entry file and then read an index tells
    // by the entry file's identity whether the set changed in between (TDictDB::LoadIndex).
    const std::vector<TSetFile> install(std::begin(files), std::end(files));
    return InstallFileSet(request.Folder, request.BaseName, install);
}

namespace {

// For a set imported before one of its files existed: under the set's lock, with an
// interrupted installation finished first, reads the set's .tdb, .tx1 and .tx2 and installs
// what `make` makes of them.
TStatus AddToSet(
    const QString& folder, const QString& baseName, bool* busy,
    const std::function<TStatus(const QByteArray (&set)[3], std::vector<TSetFile>& files)>& make) {
    TSetLock lock;
    const TStatus locked = lock.Acquire(folder, baseName);
    if (busy)
        *busy = lock.Busy();
    if (!locked.ok())
        return locked;
    if (TStatus s = FinishInterruptedInstall(folder, baseName); !s.ok())
        return s;
    QByteArray bytes[3];
    const QString extensions[3] = {QStringLiteral("tdb"), QStringLiteral("tx1"),
                                   QStringLiteral("tx2")};
    for (int f = 0; f < 3; ++f)
        if (TStatus s =
                ReadWholeFile(QDir(folder).filePath(baseName + "." + extensions[f]), bytes[f]);
            !s.ok())
            return s;
    std::vector<TSetFile> files;
    if (TStatus s = make(bytes, files); !s.ok())
        return s;
    return InstallFileSet(folder, baseName, files);
}

} // namespace

TStatus ImportRecordTables(const QString& folder, const QString& baseName, bool* busy) {
    return AddToSet(folder, baseName, busy, [](const QByteArray(&set)[3], auto& files) {
        for (int side = 0; side < 2; ++side) {
            TSetFile table{side == 0 ? QStringLiteral("tr1") : QStringLiteral("tr2"), {}};
            if (TStatus s = TWordList::MakeRecordTable(set[1 + side], set[0], table.Bytes); !s.ok())
                return s;
            files.push_back(std::move(table));
        }
        return TStatus::Ok();
    });
}

TStatus ImportSuggestionIndex(const QString& folder, const QString& baseName, bool* busy) {
    return AddToSet(folder, baseName, busy, [](const QByteArray(&set)[3], auto& files) {
        TSetFile index{QString::fromLatin1(kSuggestIndexExtension), {}};
        if (TStatus s = TSuggestIndex::Make(set[0], set[1], set[2], index.Bytes); !s.ok())
            return s;
        files.push_back(std::move(index));
        return TStatus::Ok();
    });
}

TStatus ImportPronunciations(const QString& sourcePath, const QString& destinationPath,
                             TPronunciationSummary& summary, const TProgressFn& progress) {
    summary = {};
    const QFileInfo destination(destinationPath);
    TSetLock lock;
    if (TStatus s = lock.Acquire(destination.absolutePath(), BaseNameOf(destination.fileName()));
        !s.ok()) {
        summary.Busy = lock.Busy();
        return s;
    }
    QByteArray source;
    if (TStatus s = ReadWholeFile(sourcePath, source); !s.ok())
        return s;
    if (source.startsWith("\xEF\xBB\xBF"))
        source.remove(0, 3);
    const std::vector<QByteArrayView> lines = SplitLines(source);
    summary.Lines = int(lines.size());

    struct TPair {
        QString Key, Value;
        int Class;
    };
    TTermClasses classes;
    std::vector<TPair> pairs;
    std::vector<int> byClass;
    int counter = 0;
    for (int k = 0; k < summary.Lines; ++k) {
        const QList<QByteArray> pieces = SplitAnsi(lines[size_t(k)], "=", false);
        if (pieces.size() >= 2 && pieces[1].size() >= 2) {
            const QString key = QString::fromUtf8(pieces[0]);
            const int cls = classes.ClassOf(key);
            if (size_t(cls) >= byClass.size())
                byClass.resize(size_t(cls) + 1, -1);
            if (byClass[size_t(cls)] < 0) {
                byClass[size_t(cls)] = int(pairs.size());
                pairs.push_back({key, QString::fromUtf8(pieces[1]), cls});
            } else {
                pairs[size_t(byClass[size_t(cls)])].Value = QString::fromUtf8(pieces[1]);
            }
        }
        if (counter == kProgressStep) {
            if (progress)
                progress(k, summary.Lines);
            counter = 0;
        }
        ++counter;
    }
    if (pairs.empty())
        return TStatus::Error("No pronunciations found in " + sourcePath);
    std::sort(pairs.begin(), pairs.end(), [&](const TPair& a, const TPair& b) {
        return classes.KeyOf(a.Class) < classes.KeyOf(b.Class);
    });
    QByteArray out;
    for (const TPair& pair : pairs) {
        const QByteArray record =
            CutUtf8(pair.Key.toUtf8() + '=' + pair.Value.toUtf8(), kMaxPronunciationRecordBytes);
        out.append(char(record.size()));
        out.append(record);
    }
    summary.Pairs = int(pairs.size());
    return WriteWholeFile(destinationPath, out);
}

} // namespace quillet
