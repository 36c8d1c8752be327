// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <memory>
#include <QByteArray>
#include <QString>
#include <vector>

// A list of texts kept in ascending CompareText order, with a cursor that remembers a
// position and its index, so that successive lookups near each other are cheap. The
// dictionary's headword indexes (TWordList), its pronunciations and the user-interface
// string tables (THashList) are built on it.
//
// Behaviour is that of a doubly linked list walked from its cursor: every result, cursor
// position and index after every operation is what such a walk gives. The storage is a
// contiguous array with binary search, and the texts live as UTF-8 in one byte arena, so
// a list loaded from a file is the file's bytes plus one small record per item.
//
// Invariant (kept by AddSorted and by files written from such lists): items ascend under
// CompareText and no two are equal under it. Append and InsertAt do not check the order;
// their callers keep it. Every search relies on it.
//
// Thread safety: none. One thread fills a list; nobody reads it meanwhile.
namespace quillet {

class TLinkedList {
public:
    TLinkedList() = default;
    virtual ~TLinkedList() = default;
    TLinkedList(const TLinkedList&) = delete;
    TLinkedList& operator=(const TLinkedList&) = delete;

    // Back to the created state: no items, no cursor, index -1.
    void Clear();

    int Count() const { return FTable ? FTableCount : int(FItems.size()); }
    // Index of the cursor item, -1 when there is no cursor.
    int CurrentIndex() const { return FIndex; }
    bool HasCursor() const { return FIndex >= 0; }

    // Whether the list reads its items from a record table (AdoptRecordTable).
    bool HasRecordTable() const { return FTable != nullptr; }
    // A record of the table did not split (SplitRecord) at its neighbours' positions: the
    // table does not describe the arena, and what the list answered since it was read is
    // void (the item read as empty). The owner reads the list again without the table.
    bool RecordFault() const { return FRecordFault; }

    // Cursor moves; false (and no move) when impossible.
    bool First();
    bool Last();
    bool Next();
    bool Prev();
    // Without a cursor: puts it on the first item and returns false. With one: moves to
    // `index` when it is in range (true), else stays (false).
    bool GoTo(int index);

    bool GetCurrentText(QString& text) const;
    // GoTo(index) and the cursor item's text; on failure the cursor goes to the first item.
    bool GetText(int index, QString& text);
    // The text of the item at `index` without touching the cursor. REQUIRES: 0 <= index < Count().
    QString TextAt(int index) const;
    // The same into `text`, reusing its buffer (AssignUtf8). REQUIRES: 0 <= index < Count().
    void TextInto(int index, QString& text) const;

    // Exact search (under CompareText) relative to the cursor: the index of the equal
    // item, which becomes the cursor, or -1. On a miss the cursor rests where a walk from
    // it would stop: on the nearest item on the text's far side of the walk, or on the
    // first item when the walk ran off either end.
    int IndexOf(QStringView text);

    // The cursor goes to the first item in list order that begins with the text
    // (StartsText); when none does, to the greatest item below the text, or to the first
    // item when none is below. Nothing changes when the cursor item equals the text.
    void Locate(QStringView text);

    // New last item; it becomes the cursor.
    void Append(QStringView text);
    // New item at `index` (0 = first); beyond the end means Append. It becomes the cursor.
    void InsertAt(QStringView text, int index);
    // Sorted insert. When an equal item exists nothing is inserted and it becomes the
    // cursor; otherwise the new item does.
    void AddSorted(QStringView text);

protected:
    struct TItem {
        quint32 TextPos, TextLen; // UTF-8 text in FArena
        quint32 DataPos, DataLen; // payload bytes in FArena
    };

    QByteArrayView TextBytes(int index) const {
        const TItem item = ItemAt(index);
        return QByteArrayView(FArena.constData() + item.TextPos, item.TextLen);
    }
    QByteArrayView DataBytes(int index) const {
        const TItem item = ItemAt(index);
        return QByteArrayView(FArena.constData() + item.DataPos, item.DataLen);
    }
    // Replaces the payload of the cursor item. REQUIRES: HasCursor().
    void SetCurrentData(QByteArrayView data);
    // Appends an item whose payload is `data` (the bytes are copied).
    void AppendWithBytes(QStringView text, QByteArrayView data);
    // Sorted insert (as AddSorted), then the cursor item's payload := data.
    void AddSortedWithBytes(QStringView text, QByteArrayView data);
    // Replaces the list by `items` over `arena`, as if each had been appended in order.
    // An arena that does not own its bytes (QByteArray::fromRawData over a mapped file)
    // comes with `owner`, which the list keeps until it lets go of the arena. A loader
    // that walked the items anyway may pass `leadCandidates`: the ascending indexes of
    // every item whose text is empty or whose first byte is not IsPrintableAscii.
    void AdoptRecords(QByteArray arena, std::vector<TItem> items,
                      std::shared_ptr<const void> owner = {},
                      const std::vector<int>* leadCandidates = nullptr);
    static bool IsPrintableAscii(uchar byte) { return byte >= 0x20 && byte < 0x7F; }

    // Replaces the list by the records of a record table over `arena`, without an item
    // array: item i is the record from table[i] to table[i + 1] (`count` + 1 ascending
    // little-endian 32-bit positions in the arena, the first 0, the last the arena's size,
    // as the caller checked), split into text and payload by SplitRecord when it is read.
    // `owner` keeps the arena's and the table's bytes alive; `leadIgnorable` is what
    // LeadIgnorableItems() would find. The first change of the list makes the item array.
    void AdoptRecordTable(QByteArray arena, const char* table, int count,
                          std::shared_ptr<const void> owner, std::vector<int> leadIgnorable);
    // The text and payload positions of one record of a record table, or false when the
    // bytes are no such record. Only lists that adopt record tables define it.
    virtual bool SplitRecord(QByteArrayView record, quint32 position, TItem& item) const;
    // The items whose first character has no primary weight (see LeadIgnorableItems),
    // for a writer of record tables.
    const std::vector<int>& LeadIgnorableList() { return LeadIgnorableItems(); }

private:
    TItem ItemAt(int index) const { return FTable ? TableItem(index) : FItems[size_t(index)]; }
    TItem TableItem(int index) const;
    // Turns a record table into the item array, before a change of the list.
    void MakeItems();
    // Index of the first item not below the UTF-8 text, searching [from, Count()).
    int LowerBound(const QByteArray& utf8, int from = 0) const;
    int CompareAt(int index, const QByteArray& utf8) const;
    // The bytes of the item's first `units` UTF-16 units, or null when that needs decoding.
    static QByteArrayView Utf8Prefix(QByteArrayView item, qsizetype units);
    TItem StoreItem(QStringView text, QByteArrayView data);
    // The items whose first character has no primary weight, ascending: the only ones a
    // text without primary weight can be the beginning of.
    const std::vector<int>& LeadIgnorableItems();
    // Fills FLeadIgnorable from every item, or from `candidates` only (see AdoptRecords).
    void FindLeadIgnorable(const std::vector<int>* candidates);
    void ForgetLeadIgnorable() { FLeadIgnorableKnown = false; }

    QByteArray FArena;
    std::shared_ptr<const void> FArenaOwner; // keeps a borrowed arena's bytes alive
    std::vector<TItem> FItems;
    int FIndex = -1;
    std::vector<int> FLeadIgnorable;
    bool FLeadIgnorableKnown = false;
    const char* FTable = nullptr; // the record table, when the items come from one
    int FTableCount = 0;
    mutable bool FRecordFault = false;
};

} // namespace quillet
