// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "Status.h"
#include "WordList.h"

#include <QString>
#include <QStringView>

// The sorted list with a cursor written the slow, obvious way: a doubly linked list of
// nodes whose every operation walks the links from the cursor, the last or the first
// node, one step at a time. TLinkedList / TWordList must give the same results, cursor
// positions and file bytes on every list that ascends under CompareText without equal
// items; the differential tests check that, and the benchmarks time this version as the
// baseline.
//
// Not for production: IndexOf and AddSorted cost a walk, Locate a scan from the tail.
namespace quillet::ref {

class TLiteralList {
public:
    TLiteralList() = default;
    ~TLiteralList() { Clear(); }
    TLiteralList(const TLiteralList&) = delete;
    TLiteralList& operator=(const TLiteralList&) = delete;

    void Clear();
    int Count() const { return FCount; }
    int CurrentIndex() const { return FIndex; }

    bool First();
    bool Last();
    bool Next();
    bool Prev();
    bool GoTo(int index);
    bool GetCurrentText(QString& text) const;
    bool GetText(int index, QString& text);
    int IndexOf(QStringView text);
    void Locate(QStringView text);

    void Append(QStringView text) { AppendWithData(text, {}); }
    void AppendWithData(QStringView text, const TTermRefArray& data);
    void InsertAt(QStringView text, int index);
    void AddSorted(QStringView text);
    void AddSortedWithData(QStringView text, const TTermRefArray& data);

    // The cursor item's references. REQUIRES: a cursor.
    TTermRefArray& CurrentData() { return FCurrent->Data; }

    // Writes the index file (.tx1 / .tx2) record by record, straight into the file.
    TStatus SaveToFile(const QString& path) const;

private:
    struct TNode {
        QString Text;
        TTermRefArray Data;
        TNode* Prev = nullptr;
        TNode* Next = nullptr;
    };
    // Links a new node between `before` and `after` (either may be null).
    TNode* Link(QStringView text, TNode* before, TNode* after);

    TNode* FFirst = nullptr;
    TNode* FLast = nullptr;
    TNode* FCurrent = nullptr;
    int FCount = 0;
    int FIndex = -1;
};

} // namespace quillet::ref
