// SPDX-License-Identifier: GPL-2.0-or-later
// Fuzzes the pronunciation file reader: any bytes as an .ipa file, loaded, then every
// stored key and a few other texts looked up.
#include "FuzzSupport.h"

#include "HashList.h"

using namespace quillet;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::Folder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    THashList list;
    const TStatus status =
        list.LoadFromFile(fuzz::WriteInput("words.ipa", fuzz::Bytes(data, size)));
    FUZZ_CHECK(status.ok() == list.Loaded());
    if (!status.ok()) {
        FUZZ_CHECK(list.Count() == 0);
        return 0;
    }

    QStringList keys;
    for (int i = 0; i < list.Count(); ++i) {
        keys.append(list.TextAt(i));
        FUZZ_CHECK(!list.ValueAt(i).isEmpty()); // records with an empty value form no pair
    }
    keys += {QString(), QStringLiteral("a"),
             QString::fromUtf8(fuzz::Bytes(data, size).first(qMin(size, size_t(8))))};
    for (QString key : keys) {
        QString value;
        // A hit hands out the stored key and its value, and leaves the cursor on it.
        if (list.Find(key, value))
            FUZZ_CHECK(key == list.TextAt(list.CurrentIndex()) &&
                       value == list.ValueAt(list.CurrentIndex()));
        key = key.toUpper();
        list.Find(key, value);
    }
    return 0;
}
