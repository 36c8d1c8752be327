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

} // namespace quillet
