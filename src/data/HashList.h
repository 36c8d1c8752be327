// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "LinkedList.h"
#include "Status.h"

// A key/value list: a TLinkedList whose items carry a value text. It holds a dictionary's
// pronunciations (read from and written to the .ipa file) and the user-interface string
// tables.
//
// Pronunciation file: records up to the end of the file, each a length byte L and L
// bytes of UTF-8 "key=value". Keys ascend under CompareText and are unique under it.
//
// Thread safety: none (see TLinkedList).
namespace quillet {

inline constexpr int kMaxPronunciationRecordBytes = 255;

class THashList : public TLinkedList {
public:
    // True only after a complete LoadFromFile.
    bool Loaded() const { return FLoaded; }

    // Append of the key with its value (no order check).
    void Add(QStringView key, QStringView value);
    // Sorted insert; for a key already present this replaces the value and keeps the
    // stored key form.
    void AddSorted(QStringView key, QStringView value);
    bool GetPair(int index, QString& key, QString& value);
    // Exact search (under CompareText) from the first item. On a hit `key` becomes the
    // stored form and `value` is set.
    bool Find(QString& key, QString& value);
    QString ValueAt(int index) const { return QString::fromUtf8(DataBytes(index)); }

    // Does nothing for an empty list (an existing file stays as it is); otherwise writes
    // the file, replacing it only when complete. A record longer than 255 bytes is cut
    // at a character boundary.
    TStatus SaveToFile(const QString& path) const;
    // Clears the list and reads the file. The key is the text before the first "=", the
    // value the text after it up to a second "=", if any. A record without "=" or with an
    // empty value forms no pair and is skipped. A missing file gives "File <path> not
    // found"; a file that ends inside a record is reported as damaged and leaves the list
    // empty. Loaded() is true only on success.
    TStatus LoadFromFile(const QString& path);

private:
    TStatus Load(const QString& path);

    bool FLoaded = false;
};

} // namespace quillet
