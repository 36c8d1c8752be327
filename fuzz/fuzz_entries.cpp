// SPDX-License-Identifier: GPL-2.0-or-later
// Fuzzes the entry reader: any bytes as a .tdb file, read at the offsets its first bytes
// name and along the chain of entries from the end of the header.
#include "FuzzSupport.h"

#include "DictFormat.h"
#include "FileIO.h"

using namespace quillet;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::Folder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes = fuzz::Bytes(data, size);
    TEntryReader reader;
    FUZZ_CHECK(
        reader.Open(fuzz::WriteInput("entries.tdb", bytes), QStringLiteral("entries.tdb")).ok());
    if (size >= size_t(kHeaderSize))
        ParseHeader(bytes);

    QString side1, side2;
    auto read = [&](quint32 offset) {
        const TStatus status = reader.Read(offset, side1, side2);
        FUZZ_CHECK(!status.ok() || qint64(offset) + 2 <= qint64(size));
    };
    // The first 32 bytes as eight offsets, the garbage offsets of a damaged index.
    for (size_t at = 0; at + 4 <= size && at < 32; at += 4)
        read(ReadU32(bytes.data() + at));
    // The entries as the import lays them out, one after the other.
    for (qint64 offset = kHeaderSize; offset + 2 <= qint64(size);) {
        const qint16 length = qint16(ReadU16(bytes.data() + offset));
        if (length < 0)
            break;
        read(quint32(offset));
        offset += 2 + length;
    }
    read(quint32(size));
    read(0xFFFFFFFFu);
    return 0;
}
