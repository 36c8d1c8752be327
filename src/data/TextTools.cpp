// SPDX-License-Identifier: GPL-2.0-or-later
#include "TextTools.h"

namespace quillet {
namespace {

inline uint code(QChar c) {
    return c.unicode();
}
inline uint code(char c) {
    return uchar(c);
}

template <typename View> View trimmedView(View text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && code(text[begin]) < 33)
        ++begin;
    while (end > begin && code(text[end - 1]) < 33)
        --end;
    return text.sliced(begin, end - begin);
}

template <typename Out, typename View>
QList<Out> splitAt(View text, View separator, bool trim, View (*trimFn)(View)) {
    QList<Out> pieces;
    if (text.isEmpty() && separator.size() == 1)
        return pieces;
    auto add = [&](View piece) {
        if (trim) {
            piece = trimFn(piece);
            if (piece.isEmpty())
                return;
        }
        pieces.append(Out(piece.data(), piece.size()));
    };
    qsizetype start = 0;
    if (!separator.isEmpty()) {
        for (qsizetype hit = text.indexOf(separator); hit >= 0;
             hit = text.indexOf(separator, start)) {
            add(text.sliced(start, hit - start));
            start = hit + separator.size();
        }
    }
    if (start == 0 || start < text.size())
        add(text.sliced(start));
    return pieces;
}

QStringView trimString(QStringView v) {
    return trimmedView(v);
}
QByteArrayView trimBytes(QByteArrayView v) {
    return trimmedView(v);
}

// Decodes well-formed UTF-8 into `out` (room for utf8.size() units) and returns the
// number of units, or -1 at the first sequence that is not plainly well-formed or that
// decodes to a noncharacter or U+FEFF: those are left to QString::fromUtf8, whose handling
// of them (replacement characters, a dropped leading byte order mark) is the reference.
qsizetype decodeWellFormedUtf8(QByteArrayView utf8, char16_t* out) {
    const auto* p = reinterpret_cast<const uchar*>(utf8.data());
    const uchar* const end = p + utf8.size();
    char16_t* const start = out;
    auto tail = [](uchar b) { return (b & 0xC0) == 0x80; };
    while (p < end) {
        const uchar b = *p;
        if (b < 0x80) {
            *out++ = b;
            ++p;
            continue;
        }
        char32_t c;
        if (b >= 0xC2 && b <= 0xDF) {
            if (end - p < 2 || !tail(p[1]))
                return -1;
            c = char32_t(b & 0x1F) << 6 | (p[1] & 0x3F);
            p += 2;
        } else if (b >= 0xE0 && b <= 0xEF) {
            if (end - p < 3 || !tail(p[1]) || !tail(p[2]))
                return -1;
            c = char32_t(b & 0x0F) << 12 | char32_t(p[1] & 0x3F) << 6 | (p[2] & 0x3F);
            if (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF))
                return -1; // overlong, or a surrogate
            p += 3;
        } else if (b >= 0xF0 && b <= 0xF4) {
            if (end - p < 4 || !tail(p[1]) || !tail(p[2]) || !tail(p[3]))
                return -1;
            c = char32_t(b & 0x07) << 18 | char32_t(p[1] & 0x3F) << 12 |
                char32_t(p[2] & 0x3F) << 6 | (p[3] & 0x3F);
            if (c < 0x10000 || c > 0x10FFFF)
                return -1;
            p += 4;
        } else {
            return -1;
        }
        if ((c >= 0xFDD0 && c <= 0xFDEF) || (c & 0xFFFE) == 0xFFFE || c == 0xFEFF)
            return -1;
        if (c >= 0x10000) {
            *out++ = char16_t(0xD800 + ((c - 0x10000) >> 10));
            *out++ = char16_t(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            *out++ = char16_t(c);
        }
    }
    return out - start;
}

} // namespace

QString Trim(QStringView text) {
    return trimmedView(text).toString();
}

QByteArray TrimAnsi(QByteArrayView text) {
    return trimmedView(text).toByteArray();
}

QStringList SplitText(QStringView text, QStringView separator, bool trim) {
    return splitAt<QString>(text, separator, trim, &trimString);
}

QList<QByteArray> SplitAnsi(QByteArrayView text, QByteArrayView separator, bool trim) {
    return splitAt<QByteArray>(text, separator, trim, &trimBytes);
}

QStringView TrimView(QStringView text) {
    return trimmedView(text);
}

QStringList SplitTopLevel(QStringView text, QChar ch) {
    QStringList pieces;
    ForEachTopLevel(text, ch, [&](QStringView piece) { pieces.append(piece.toString()); });
    return pieces;
}

QByteArray ExtractField(QByteArrayView text, char separator, int n) {
    qsizetype start = 0;
    for (int field = 0; field < n; ++field) {
        const qsizetype hit = text.indexOf(separator, start);
        if (hit < 0)
            return {};
        start = hit + 1;
    }
    const qsizetype end = text.indexOf(separator, start);
    return text.sliced(start, (end < 0 ? text.size() : end) - start).toByteArray();
}

void ReplaceAll(QString& text, std::span<const QString> patterns,
                std::span<const QString> replacements) {
    if (text.isEmpty() || patterns.size() != replacements.size())
        return;
    for (size_t k = 0; k < patterns.size(); ++k) {
        const QString& pattern = patterns[k];
        const QString& replacement = replacements[k];
        if (pattern.isEmpty())
            continue;
        if (replacement.contains(pattern)) {
            text.replace(pattern, replacement);
            continue;
        }
        // Text before a replacement held no occurrence, so a new one can only begin
        // within the pattern's length before the replaced spot.
        qsizetype from = 0;
        for (qsizetype hit = text.indexOf(pattern, from); hit >= 0;
             hit = text.indexOf(pattern, from)) {
            text.replace(hit, pattern.size(), replacement);
            from = qMax<qsizetype>(0, hit - pattern.size() + 1);
        }
    }
}

void DeleteChars(QString& text, QStringView characters) {
    text.removeIf([characters](QChar c) { return characters.contains(c); });
}

void DeleteEnclosed(QString& text, QChar open, QChar close) {
    for (;;) {
        const qsizetype from = text.indexOf(open);
        if (from < 0)
            return;
        const qsizetype to = text.indexOf(close, from + 1);
        if (to < 0)
            return;
        text.remove(from, to - from + 1);
    }
}

int CharIndex(QChar ch, QStringView characters) {
    return int(characters.indexOf(ch));
}

QString LineBreaksToBlanks(QStringView text) {
    QString line;
    line.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            continue; // the LF of the pair makes the blank
        line.append(c == u'\r' || c == u'\n' ? QChar(u' ') : c);
    }
    return line;
}

QByteArray CutUtf8(QByteArray utf8, qsizetype maxBytes) {
    if (utf8.size() <= maxBytes)
        return utf8;
    qsizetype end = maxBytes;
    // Step back over continuation bytes (10xxxxxx) to the start of the cut character.
    while (end > 0 && (uchar(utf8[end]) & 0xC0) == 0x80)
        --end;
    utf8.truncate(end);
    return utf8;
}

void AssignUtf8(QString& text, QByteArrayView utf8) {
    if (utf8.isEmpty()) {
        text = QString::fromUtf8(utf8); // null or empty, as fromUtf8 tells them apart
        return;
    }
    // A UTF-8 sequence never decodes to more UTF-16 units than it has bytes. resize()
    // reuses the buffer of an unshared string that is large enough.
    text.resize(utf8.size());
    const qsizetype units = decodeWellFormedUtf8(utf8, reinterpret_cast<char16_t*>(text.data()));
    if (units < 0)
        text = QString::fromUtf8(utf8);
    else
        text.resize(units);
}

} // namespace quillet
