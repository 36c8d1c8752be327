// SPDX-License-Identifier: GPL-2.0-or-later
#include "Ansi.h"

namespace quillet {
namespace {

// 0x80..0x9F, the only range where Windows-1252 differs from Latin-1. The five unused
// bytes map to the C1 controls of the same value, as Windows does.
constexpr char16_t kHighTable[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char toByte(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return char(c);
    for (int i = 0; i < 32; ++i) {
        if (kHighTable[i] == c)
            return char(0x80 + i);
    }
    return '?';
}

} // namespace

QString FromAnsi(QByteArrayView bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char b : bytes) {
        const uchar u = uchar(b);
        *out++ = QChar(u >= 0x80 && u < 0xA0 ? kHighTable[u - 0x80] : char16_t(u));
    }
    return text;
}

QByteArray ToAnsi(QStringView text) {
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char* out = bytes.data();
    for (const QChar c : text)
        *out++ = toByte(c.unicode());
    return bytes;
}

} // namespace quillet
