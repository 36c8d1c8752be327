// SPDX-License-Identifier: GPL-2.0-or-later
// Fuzzes the import and the dictionary that comes out of it: any bytes as a source text,
// imported, reopened, and every headword of both directions looked up with its entries.
#include "FuzzSupport.h"

#include "DictDB.h"
#include "Import.h"

using namespace quillet;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::Folder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TImportRequest request;
    request.Folder = fuzz::Folder();
    request.BaseName = QStringLiteral("fuzzed");
    request.SourcePath = fuzz::WriteInput(QStringLiteral("source.txt"), fuzz::Bytes(data, size));
    request.Meta.Name = QStringLiteral("Fuzzed");
    request.StopwordFolders = {QStringLiteral(QUILLET_DATA_DIR)};
    // The last input's set goes first, so that the import creates its files instead of
    // replacing them (ext4 writes a file renamed over another to the disk at once).
    for (const char* ext : {".tdb", ".tx1", ".tx2", ".sug"})
        QFile::remove(request.Folder + request.BaseName + ext);
    TImportSummary summary;
    if (!Import(request, summary).ok())
        return 0;

    TDictDB db(0, request.Folder);
    // A set the import has just written must open and read back without complaint.
    FUZZ_CHECK(db.Open(request.BaseName).ok());
    for (int direction = 0; direction < 2; ++direction) {
        FUZZ_CHECK(db.LoadIndex().ok());
        FUZZ_CHECK(db.HeadwordCount() == summary.Headwords[direction]);
        const TWordList& list = db.WordList(direction);
        QStringList words;
        TTermPairArray rows;
        for (int i = 0; i < list.Count(); ++i) {
            const int position = db.FindWords(list.TextAt(i), words);
            FUZZ_CHECK(position >= 0 && position < words.size());
            FUZZ_CHECK(db.GetEntries(rows).ok() && !rows.empty());
        }
        db.ToggleDirection();
    }
    return 0;
}
