// SPDX-License-Identifier: GPL-2.0-or-later
#include "Collation.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <unicode/ucol.h>
#include <vector>

namespace quillet {
namespace {

struct CollatorCloser {
    void operator()(UCollator* c) const { ucol_close(c); }
};
using CollatorPtr = std::unique_ptr<UCollator, CollatorCloser>;

// Configured once; never used directly, only cloned (a clone is cheap and private to
// one thread, which keeps us clear of any doubt about sharing ICU objects).
const UCollator* configuredCollator() {
    static const CollatorPtr master = [] {
        UErrorCode err = U_ZERO_ERROR;
        CollatorPtr c(ucol_open("", &err));
        ucol_setAttribute(c.get(), UCOL_STRENGTH, UCOL_SECONDARY, &err);
        ucol_setAttribute(c.get(), UCOL_NORMALIZATION_MODE, UCOL_ON, &err);
        if (U_FAILURE(err)) {
            // Without ICU's root collation no dictionary can be read; nothing sensible is left.
            std::fprintf(stderr, "Cannot create the ICU collator: %s\n", u_errorName(err));
            std::abort();
        }
        return c;
    }();
    return master.get();
}

const UCollator* threadCollator() {
    thread_local const CollatorPtr clone = [] {
        UErrorCode err = U_ZERO_ERROR;
#if U_ICU_VERSION_MAJOR_NUM >= 71
        CollatorPtr c(ucol_clone(configuredCollator(), &err));
#else
        CollatorPtr c(ucol_safeClone(configuredCollator(), nullptr, nullptr, &err));
#endif
        if (U_FAILURE(err)) {
            std::fprintf(stderr, "Cannot clone the ICU collator: %s\n", u_errorName(err));
            std::abort();
        }
        return c;
    }();
    return clone.get();
}

const UChar* uchars(QStringView s) {
    return reinterpret_cast<const UChar*>(s.utf16());
}

int sign(UCollationResult r) {
    return r == UCOL_LESS ? -1 : (r == UCOL_GREATER ? 1 : 0);
}

} // namespace

int CompareText(QStringView a, QStringView b) {
    return sign(
        ucol_strcoll(threadCollator(), uchars(a), int32_t(a.size()), uchars(b), int32_t(b.size())));
}

int CompareTextUtf8(std::string_view a, std::string_view b) {
    UErrorCode err = U_ZERO_ERROR;
    const UCollationResult r = ucol_strcollUTF8(threadCollator(), a.data(), int32_t(a.size()),
                                                b.data(), int32_t(b.size()), &err);
    return sign(r);
}

bool StartsText(QStringView prefix, QStringView text) {
    return text.size() >= prefix.size() && CompareText(text.first(prefix.size()), prefix) == 0;
}

bool EndsText(QStringView suffix, QStringView text) {
    return text.size() >= suffix.size() && CompareText(text.last(suffix.size()), suffix) == 0;
}

QByteArray CollationKey(QStringView text) {
    const UCollator* c = threadCollator();
    QByteArray key(qsizetype(text.size()) * 4 + 16, Qt::Uninitialized);
    int32_t n = ucol_getSortKey(c, uchars(text), int32_t(text.size()),
                                reinterpret_cast<uint8_t*>(key.data()), int32_t(key.size()));
    if (n > key.size()) {
        key.resize(n);
        n = ucol_getSortKey(c, uchars(text), int32_t(text.size()),
                            reinterpret_cast<uint8_t*>(key.data()), int32_t(key.size()));
    }
    key.resize(n > 0 ? n - 1 : 0); // drop the terminating zero byte
    return key;
}

bool HasPrimaryWeight(QStringView text) {
    // A sort key lists the primary weights first and ends that level with the byte 1.
    const QByteArray key = CollationKey(text);
    return !key.isEmpty() && key.front() != '\x01';
}

QString PrefixRangeEnd(QStringView text) {
    return text.toString() + QChar(0xFFFF);
}

} // namespace quillet
