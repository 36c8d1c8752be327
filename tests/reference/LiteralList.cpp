// SPDX-License-Identifier: GPL-2.0-or-later
#include "LiteralList.h"

#include "Collation.h"
#include "FileIO.h"
#include "TextTools.h"

#include <QFile>

namespace quillet::ref {

void TLiteralList::Clear() {
    while (FFirst) {
        TNode* next = FFirst->Next;
        delete FFirst;
        FFirst = next;
    }
    FLast = FCurrent = nullptr;
    FCount = 0;
    FIndex = -1;
}

bool TLiteralList::First() {
    if (!FFirst)
        return false;
    FCurrent = FFirst;
    FIndex = 0;
    return true;
}

bool TLiteralList::Last() {
    if (!FLast)
        return false;
    FCurrent = FLast;
    FIndex = FCount - 1;
    return true;
}

bool TLiteralList::Next() {
    if (!FCurrent || !FCurrent->Next)
        return false;
    FCurrent = FCurrent->Next;
    ++FIndex;
    return true;
}

bool TLiteralList::Prev() {
    if (!FCurrent || !FCurrent->Prev)
        return false;
    FCurrent = FCurrent->Prev;
    --FIndex;
    return true;
}

bool TLiteralList::GoTo(int index) {
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

bool TLiteralList::GetCurrentText(QString& text) const {
    if (!FCurrent)
        return false;
    text = FCurrent->Text;
    return true;
}

bool TLiteralList::GetText(int index, QString& text) {
    if (!GoTo(index)) {
        First();
        return false;
    }
    text = FCurrent->Text;
    return true;
}

int TLiteralList::IndexOf(QStringView text) {
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
    if (!FCurrent) { // the walk ran off an end
        FCurrent = FFirst;
        FIndex = 0;
    }
    return -1;
}

void TLiteralList::Locate(QStringView text) {
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

TLiteralList::TNode* TLiteralList::Link(QStringView text, TNode* before, TNode* after) {
    TNode* node = new TNode;
    node->Text = text.toString();
    node->Prev = before;
    node->Next = after;
    (before ? before->Next : FFirst) = node;
    (after ? after->Prev : FLast) = node;
    ++FCount;
    FCurrent = node;
    return node;
}

void TLiteralList::AppendWithData(QStringView text, const TTermRefArray& data) {
    Link(text, FLast, nullptr)->Data = data;
    FIndex = FCount - 1;
}

void TLiteralList::InsertAt(QStringView text, int index) {
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

void TLiteralList::AddSorted(QStringView text) {
    if (!FFirst) {
        Append(text);
        return;
    }
    // The tail scan: back from the last item while it lies above the text. An equal item
    // stops the scan and is taken as found.
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

void TLiteralList::AddSortedWithData(QStringView text, const TTermRefArray& data) {
    AddSorted(text);
    FCurrent->Data = data;
}

TStatus TLiteralList::SaveToFile(const QString& path) const {
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

} // namespace quillet::ref
