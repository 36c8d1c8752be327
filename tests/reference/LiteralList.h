// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "Collation.h"
#include "FileIO.h"
#include "Status.h"
#include "TextTools.h"
#include "WordList.h"

#include <QFile>
#include <QString>
#include <QStringView>

// The sorted list with a cursor written the slow, obvious way: a doubly linked list of
// nodes whose every operation walks the links one step at a time. TLinkedList / TWordList
// must give the same results, cursor positions and file bytes on every list that ascends
// under CompareText without equal items; the differential tests check that, and the
// benchmarks time this version as the baseline.
namespace quillet::ref {

class TLiteralList {
public:
    TLiteralList() = default;
    TLiteralList(const TLiteralList&) = delete;
    TLiteralList& operator=(const TLiteralList&) = delete;
    ~TLiteralList() {
        while (FFirst) {
            TNode* next = FFirst->Next;
            delete FFirst;
            FFirst = next;
        }
    }

    int Count() const { return FCount; }
    int CurrentIndex() const { return FIndex; }

    bool First() {
        if (!FFirst)
            return false;
        FCurrent = FFirst;
        FIndex = 0;
        return true;
    }
    bool Last() {
        if (!FLast)
            return false;
        FCurrent = FLast;
        FIndex = FCount - 1;
        return true;
    }
    bool Next() {
        if (!FCurrent || !FCurrent->Next)
            return false;
        FCurrent = FCurrent->Next;
        ++FIndex;
        return true;
    }
    bool Prev() {
        if (!FCurrent || !FCurrent->Prev)
            return false;
        FCurrent = FCurrent->Prev;
        --FIndex;
        return true;
    }
    bool GoTo(int index) {
        if (!FCurrent) {
            First();
            return false;
        }
        if (index < 0 || index >= FCount)
            return false;
        while (FIndex < index)
            Next();
        while (FIndex > index)
            Prev();
        return true;
    }

    bool GetCurrentText(QString& text) const {
        if (!FCurrent)
            return false;
        text = FCurrent->Text;
        return true;
    }
    bool GetText(int index, QString& text) {
        if (!GoTo(index)) {
            First();
            return false;
        }
        text = FCurrent->Text;
        return true;
    }

    // Walks from the cursor towards the text; a walk that runs off an end leaves the
    // cursor on the first item.
    int IndexOf(QStringView text) {
        if (!FCurrent)
            return -1;
        const int atCursor = CompareText(FCurrent->Text, text);
        if (atCursor > 0) {
            while (FCurrent && CompareText(FCurrent->Text, text) > 0) {
                FCurrent = FCurrent->Prev;
                --FIndex;
            }
        } else if (atCursor < 0) {
            while (FCurrent && CompareText(FCurrent->Text, text) < 0) {
                FCurrent = FCurrent->Next;
                ++FIndex;
            }
        }
        if (FCurrent && CompareText(FCurrent->Text, text) == 0)
            return FIndex;
        if (!FCurrent) {
            FCurrent = FFirst;
            FIndex = 0;
        }
        return -1;
    }

    // Scans back from the last item while items are not below the text, remembering the
    // last one that begins with it.
    void Locate(QStringView text) {
        if (!FCurrent || CompareText(FCurrent->Text, text) == 0)
            return;
        Last();
        int remembered = -1;
        for (;;) {
            if (CompareText(FCurrent->Text, text) < 0)
                break;
            if (StartsText(text, FCurrent->Text))
                remembered = FIndex;
            if (!Prev())
                break;
        }
        if (remembered >= 0)
            GoTo(remembered);
    }

    void Append(QStringView text) { AppendWithData(text, {}); }
    void AppendWithData(QStringView text, const TTermRefArray& data) {
        Link(text, FLast, nullptr)->Data = data;
        FIndex = FCount - 1;
    }
    void InsertAt(QStringView text, int index) {
        if (!FFirst || index >= FCount) {
            Append(text);
            return;
        }
        index = qMax(index, 0);
        TNode* at = FFirst;
        for (int i = 0; i < index; ++i)
            at = at->Next;
        Link(text, at->Prev, at);
        FIndex = index;
    }
    // The tail scan: back from the last item while it lies above the text. An equal item
    // stops the scan and is taken as found.
    void AddSorted(QStringView text) {
        if (!FFirst) {
            Append(text);
            return;
        }
        TNode* node = FLast;
        int index = FCount - 1;
        while (node->Prev && CompareText(node->Text, text) > 0) {
            node = node->Prev;
            --index;
        }
        const int c = CompareText(node->Text, text);
        if (c == 0) {
            FCurrent = node;
            FIndex = index;
        } else if (node == FFirst) {
            InsertAt(text, c < 0 ? 1 : 0);
        } else if (node == FLast) {
            Append(text);
        } else {
            Link(text, node, node->Next);
            FIndex = index + 1;
        }
    }
    void AddSortedWithData(QStringView text, const TTermRefArray& data) {
        AddSorted(text);
        FCurrent->Data = data;
    }

    // The cursor item's references. REQUIRES: a cursor.
    TTermRefArray& CurrentData() { return FCurrent->Data; }

    // Writes the index file (.tx1 / .tx2) record by record, straight into the file.
    TStatus SaveToFile(const QString& path) const {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return TStatus::Error("Cannot write " + path + ": " + file.errorString());
        for (const TNode* node = FFirst; node; node = node->Next) {
            const QByteArray headword = CutUtf8(node->Text.toUtf8(), kMaxHeadwordBytes);
            QByteArray refs;
            int count = 0;
            for (int rank : {1, 2, 3, 4, 5, 6, 7, 8, 9, 0}) {
                for (const TTermRef& ref : node->Data) {
                    if (ref.Rank != rank || count == kMaxReferences)
                        continue;
                    AppendU32(refs, ref.Offset);
                    refs.append(char(ref.Rank));
                    ++count;
                }
            }
            QByteArray record;
            record.append(char(headword.size()));
            AppendU16(record, quint16(count));
            record.append(headword);
            record.append(refs);
            if (file.write(record) != record.size())
                return TStatus::Error("Cannot write " + path + ": " + file.errorString());
        }
        return TStatus::Ok();
    }

private:
    struct TNode {
        QString Text;
        TTermRefArray Data;
        TNode* Prev = nullptr;
        TNode* Next = nullptr;
    };
    // Links a new node between `before` and `after` (either may be null); it becomes the cursor.
    TNode* Link(QStringView text, TNode* before, TNode* after) {
        TNode* node = new TNode{text.toString(), {}, before, after};
        (before ? before->Next : FFirst) = node;
        (after ? after->Prev : FLast) = node;
        ++FCount;
        FCurrent = node;
        return node;
    }

    TNode* FFirst = nullptr;
    TNode* FLast = nullptr;
    TNode* FCurrent = nullptr;
    int FCount = 0;
    int FIndex = -1;
};

} // namespace quillet::ref
