// SPDX-License-Identifier: GPL-2.0-or-later
// Fuzzes the headword index reader: any bytes as a .tx1 file, loaded, every item read,
// then lookups of the items' own texts and their beginnings.
#include "FuzzSupport.h"

#include "WordList.h"

using namespace quillet;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::Folder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TWordList list;
    const TStatus status =
        list.LoadFromFile(fuzz::WriteInput("index.tx1", fuzz::Bytes(data, size)));
    if (!status.ok()) {
        FUZZ_CHECK(list.Count() == 0 && list.Total() == 0);
        return 0;
    }
    FUZZ_CHECK(size > 0 || list.Count() == 0);

    qint64 references = 0;
    QStringList texts;
    for (int i = 0; i < list.Count(); ++i) {
        texts.append(list.TextAt(i));
        references += qint64(list.RefsAt(i).size());
    }
    FUZZ_CHECK(references == list.Total());

    // The file's order need not hold here; the lookups must stay inside the list anyway.
    QString text;
    TTermRefArray refs;
    for (int i = 0; i < list.Count(); i += 1 + list.Count() / 16) {
        list.Locate(texts[i]);
        FUZZ_CHECK(list.CurrentIndex() >= 0 && list.CurrentIndex() < list.Count());
        list.Locate(texts[i].left(texts[i].size() / 2));
        FUZZ_CHECK(list.GetCurrent(text, refs));
        const int found = list.IndexOf(texts[i]);
        FUZZ_CHECK(found >= -1 && found < list.Count());
        FUZZ_CHECK(list.GetItem(i, text, refs) && text == texts[i]);
    }
    return 0;
}
