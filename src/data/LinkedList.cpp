// SPDX-License-Identifier: GPL-2.0-or-later
#include "LinkedList.h"

#include "Collation.h"
#include "FileIO.h"
#include "TextTools.h"

#include <algorithm>
#include <QList>
#include <QUtf8StringView>
#include <QVarLengthArray>
#include <unordered_map>

namespace quillet {
namespace {
std::string_view sv(QByteArrayView v) {
    return {v.data(), size_t(v.size())};
}
} // namespace

void TLinkedList::Clear() {
    ForgetLeadIgnorable();
    FTable = nullptr;
    FTableCount = 0;
    FRecordFault = false;
    FItems.clear();
    FItems.shrink_to_fit();
    FArena.clear();
    FArenaOwner.reset();
    FIndex = -1;
}

bool TLinkedList::First() {
    if (FItems.empty())
        return false;
    FIndex = 0;
    return true;
}

bool TLinkedList::Last() {
    if (FItems.empty())
        return false;
    FIndex = Count() - 1;
    return true;
}

bool TLinkedList::Next() {
    if (FIndex < 0 || FIndex + 1 >= Count())
        return false;
    ++FIndex;
    return true;
}

bool TLinkedList::Prev() {
    if (FIndex <= 0)
        return false;
    --FIndex;
    return true;
}

bool TLinkedList::GoTo(int index) {
    if (FIndex < 0) {
        First();
        return false;
    }
    if (index < 0 || index >= Count())
        return false;
    FIndex = index;
    return true;
}

bool TLinkedList::GetCurrentText(QString& text) const {
    if (FIndex < 0)
        return false;
    text = TextAt(FIndex);
    return true;
}

bool TLinkedList::GetText(int index, QString& text) {
    if (!GoTo(index)) {
        First();
        return false;
    }
    text = TextAt(FIndex);
    return true;
}

QString TLinkedList::TextAt(int index) const {
    return QString::fromUtf8(TextBytes(index));
}

void TLinkedList::TextInto(int index, QString& text) const {
    AssignUtf8(text, TextBytes(index));
}

int TLinkedList::IndexOf(QStringView text) {
    if (FIndex < 0)
        return -1;
    const QByteArray utf8 = text.toUtf8();
    const int atCursor = CompareAt(FIndex, utf8);
    if (atCursor == 0)
        return FIndex;
    // A walk from the cursor towards the text stops at the first item on or past it; in
    // a sorted list that is found by bisection around the text's insertion point.
    const int lb = LowerBound(utf8);
    const bool found = lb < Count() && CompareAt(lb, utf8) == 0;
    if (found) {
        FIndex = lb;
        return lb;
    }
    const int stop = atCursor > 0 ? lb - 1 : lb; // backward walk stops below, forward above
    FIndex = (stop < 0 || stop >= Count()) ? 0 : stop;
    return -1;
}

void TLinkedList::Locate(QStringView text) {
    if (FIndex < 0)
        return;
    const QByteArray utf8 = text.toUtf8();
    if (CompareAt(FIndex, utf8) == 0)
        return;
    // The items that begin with the text all lie in [text, text + U+FFFF): their primary
    // weights start with the text's. Within that range the first one that begins with the
    // text is the one a backward walk from the end would remember last. Items that differ
    // from the text only in accents (Käse, Käsebrot, ... for "Kase") come between; their
    // prefixes repeat, so each distinct prefix is compared once.
    const int lb = LowerBound(utf8);
    if (lb < Count() && TextBytes(lb).startsWith(utf8)) { // the common case
        FIndex = lb;
        return;
    }
    const int end = LowerBound(PrefixRangeEnd(text).toUtf8(), lb);
    if (!HasPrimaryWeight(text)) {
        // Such a text (a soft hyphen, a control character, a lone accent) has every item
        // in its range; only items that themselves begin without a primary weight can
        // begin with it, and they are few.
        for (const int i : LeadIgnorableItems()) {
            if (i >= end)
                break;
            if (i >= lb && StartsText(text, TextAt(i))) {
                FIndex = i;
                return;
            }
        }
        FIndex = lb > 0 ? lb - 1 : 0;
        return;
    }
    const bool wellFormed = text.isValidUtf16();
    QVarLengthArray<QByteArrayView, 8> rejected;
    for (int i = lb; i < end; ++i) {
        const QByteArrayView item = TextBytes(i);
        if (item.startsWith(utf8)) {
            FIndex = i;
            return;
        }
        const QByteArrayView prefix = wellFormed ? Utf8Prefix(item, text.size()) : QByteArrayView();
        if (prefix.isNull()) {
            if (StartsText(text, QString::fromUtf8(item))) {
                FIndex = i;
                return;
            }
            continue;
        }
        if (std::find(rejected.begin(), rejected.end(), prefix) != rejected.end())
            continue;
        if (CompareTextUtf8(sv(prefix), sv(utf8)) == 0) {
            FIndex = i;
            return;
        }
        if (rejected.size() == rejected.capacity())
            rejected.remove(0);
        rejected.append(prefix);
    }
    FIndex = lb > 0 ? lb - 1 : 0;
}

QByteArrayView TLinkedList::Utf8Prefix(QByteArrayView item, qsizetype units) {
    // Null when the answer needs the decoded text: bad bytes, a cut inside a surrogate
    // pair, or an item shorter than `units`. An item that is well-formed as far as the
    // prefix goes decodes to the prefix's units first, whatever follows; except after a
    // leading byte order mark, which decoding drops: such an item must be well-formed
    // throughout.
    if (item.startsWith("\xEF\xBB\xBF") && !QUtf8StringView(item).isValidUtf8())
        return {};
    qsizetype count = 0, pos = 0;
    while (count < units && pos < item.size()) {
        const uchar lead = uchar(item[pos]);
        const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        count += length == 4 ? 2 : 1;
        pos += length;
    }
    if (count != units || pos > item.size())
        return {};
    const QByteArrayView prefix = item.first(pos);
    return QUtf8StringView(prefix).isValidUtf8() ? prefix : QByteArrayView();
}

void TLinkedList::Append(QStringView text) {
    AppendWithBytes(text, {});
}

void TLinkedList::InsertAt(QStringView text, int index) {
    if (index >= Count()) {
        Append(text);
        return;
    }
    index = qMax(index, 0);
    MakeItems();
    ForgetLeadIgnorable();
    FItems.insert(FItems.begin() + index, StoreItem(text, {}));
    FIndex = index;
}

void TLinkedList::AddSorted(QStringView text) {
    AddSortedWithBytes(text, {});
}

void TLinkedList::SetCurrentData(QByteArrayView data) {
    MakeItems();
    TItem& item = FItems[size_t(FIndex)];
    item.DataPos = quint32(FArena.size());
    item.DataLen = quint32(data.size());
    FArena.append(data);
}

void TLinkedList::AppendWithBytes(QStringView text, QByteArrayView data) {
    MakeItems();
    ForgetLeadIgnorable();
    FItems.push_back(StoreItem(text, data));
    FIndex = Count() - 1;
}

void TLinkedList::AddSortedWithBytes(QStringView text, QByteArrayView data) {
    const QByteArray utf8 = text.toUtf8();
    const int lb = LowerBound(utf8);
    if (lb < Count() && CompareAt(lb, utf8) == 0) {
        FIndex = lb;
        SetCurrentData(data);
        return;
    }
    MakeItems();
    ForgetLeadIgnorable();
    FItems.insert(FItems.begin() + lb, StoreItem(text, data));
    FIndex = lb;
}

void TLinkedList::AdoptRecords(QByteArray arena, std::vector<TItem> items,
                               std::shared_ptr<const void> owner,
                               const std::vector<int>* leadCandidates) {
    // The new arena first: the old one may borrow from the old owner.
    FArena = std::move(arena);
    FArenaOwner = std::move(owner);
    FTable = nullptr;
    FTableCount = 0;
    FRecordFault = false;
    FItems = std::move(items);
    FIndex = Count() - 1;
    ForgetLeadIgnorable();
    FindLeadIgnorable(leadCandidates); // while loading, not at the first lookup
}

void TLinkedList::AdoptRecordTable(QByteArray arena, const char* table, int count,
                                   std::shared_ptr<const void> owner,
                                   std::vector<int> leadIgnorable) {
    FArena = std::move(arena);
    FArenaOwner = std::move(owner);
    FItems.clear();
    FItems.shrink_to_fit();
    FTable = table;
    FTableCount = count;
    FRecordFault = false;
    FIndex = Count() - 1;
    FLeadIgnorable = std::move(leadIgnorable);
    FLeadIgnorableKnown = true;
}

bool TLinkedList::SplitRecord(QByteArrayView, quint32, TItem&) const {
    return false;
}

TLinkedList::TItem TLinkedList::TableItem(int index) const {
    // Each record is checked where it is read: it must lie between its own position and
    // the next one and fill that space exactly, so that a table of another arena is
    // noticed on the first record it gets wrong instead of read past.
    const quint32 position = ReadU32(FTable + 4 * qsizetype(index));
    const quint32 next = ReadU32(FTable + 4 * (qsizetype(index) + 1));
    TItem item{position, 0, position, 0};
    if (position < next && next <= quint32(FArena.size()) &&
        SplitRecord(QByteArrayView(FArena.constData() + position, next - position), position, item))
        return item;
    FRecordFault = true;
    return {0, 0, 0, 0};
}

void TLinkedList::MakeItems() {
    if (!FTable)
        return;
    std::vector<TItem> items(static_cast<size_t>(FTableCount));
    for (int i = 0; i < FTableCount; ++i)
        items[size_t(i)] = TableItem(i);
    FTable = nullptr;
    FTableCount = 0;
    FItems = std::move(items);
}

const std::vector<int>& TLinkedList::LeadIgnorableItems() {
    if (!FLeadIgnorableKnown)
        FindLeadIgnorable(nullptr);
    return FLeadIgnorable;
}

void TLinkedList::FindLeadIgnorable(const std::vector<int>* candidates) {
    FLeadIgnorable.clear();
    // Printable ASCII always has a primary weight; other first characters are few and
    // each is asked once.
    std::unordered_map<char32_t, bool> asked;
    const int n = candidates ? int(candidates->size()) : Count();
    for (int k = 0; k < n; ++k) {
        const int i = candidates ? (*candidates)[size_t(k)] : k;
        const QByteArrayView bytes = TextBytes(i);
        if (bytes.isEmpty())
            continue;
        const uchar lead = uchar(bytes.front());
        if (IsPrintableAscii(lead))
            continue;
        // The first character's code point. Ill-formed bytes read as U+FFFD, which has a
        // primary weight; whatever they decode to here only makes an extra candidate.
        const int length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        char32_t first = length == 1 ? lead : lead & (0x3F >> (length - 1));
        for (int k = 1; k < length; ++k)
            first = k < bytes.size() ? first << 6 | (uchar(bytes[k]) & 0x3F) : 0;
        auto it = asked.find(first);
        if (it == asked.end()) {
            const char32_t one[1] = {first};
            it = asked.emplace(first, HasPrimaryWeight(QString::fromUcs4(one, 1))).first;
        }
        if (!it->second)
            FLeadIgnorable.push_back(i);
    }
    FLeadIgnorableKnown = true;
}

int TLinkedList::LowerBound(const QByteArray& utf8, int from) const {
    int lo = from;
    int hi = Count();
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (CompareAt(mid, utf8) < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

int TLinkedList::CompareAt(int index, const QByteArray& utf8) const {
    return CompareTextUtf8(sv(TextBytes(index)), sv(utf8));
}

TLinkedList::TItem TLinkedList::StoreItem(QStringView text, QByteArrayView data) {
    TItem item;
    const QByteArray utf8 = text.toUtf8();
    item.TextPos = quint32(FArena.size());
    item.TextLen = quint32(utf8.size());
    FArena.append(utf8);
    item.DataPos = quint32(FArena.size());
    item.DataLen = quint32(data.size());
    FArena.append(data);
    return item;
}

} // namespace quillet
