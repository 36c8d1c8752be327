// SPDX-License-Identifier: GPL-2.0-or-later
// Fuzzes the suggestion index reader: any bytes as a .sug file, with the checksum they
// would need stamped in (else nothing past it would ever be read), then searches on both
// directions. Whatever the tables say, a search stays inside them.
#include "FuzzSupport.h"

#include "SuggestIndex.h"
#include "WordFold.h"

#include <cstring>

using namespace quillet;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::Folder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QByteArray bytes = fuzz::Bytes(data, size).toByteArray();
    if (bytes.size() >= 256) {
        const quint64 sum = TSuggestIndex::Checksum(bytes);
        std::memcpy(bytes.data() + 16, &sum, 8);
    }
    TSuggestIndex index;
    if (const TStatus status = index.Adopt(bytes); !status.ok()) {
        FUZZ_CHECK(index.IsEmpty());
        // The reader sums the bytes a step at a time: it must agree with the writer's sum
        // stamped above, whatever the length.
        FUZZ_CHECK(!status.message().contains(QStringLiteral("checksum")));
        return 0;
    }
    std::vector<quint32> bases;
    std::vector<TSuggestDirection::TNear> near;
    for (int d = 0; d < 2; ++d) {
        const TSuggestDirection& dir = index.Direction(d);
        for (int i = 0; i < dir.Count(); i += 1 + dir.Count() / 8) {
            const QString word = dir.Word(quint32(i)).toString();
            const int found = dir.Find(word);
            FUZZ_CHECK(found >= -1 && found < dir.Count());
            if (dir.Count() > 0)
                FUZZ_CHECK(dir.Landing(word) < dir.Count());
            const std::u16string key = SpellingKey(word);
            for (quint32 w : dir.WithKey(key))
                FUZZ_CHECK(int(w) < dir.Count());
            dir.BasesOf(key, bases);
            for (int limit = 1; limit <= 2; ++limit)
                dir.Near(key, limit, near);
        }
        for (quint32 w : bases)
            FUZZ_CHECK(int(w) < dir.Count());
        for (const auto& n : near)
            FUZZ_CHECK(int(n.Word) < dir.Count() && n.Distance >= 0 && n.Distance <= 2);
        bases.clear();
        near.clear();
    }
    return 0;
}
