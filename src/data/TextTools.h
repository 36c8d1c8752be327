// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <span>

// Text helpers shared by the import's term extraction, the entry markup and the search box.
// Pure functions on values; safe from any thread. Positions are 0-based.
namespace quillet {

// Removes every character whose code is below 33 (blank and control characters) from
// both ends. Unlike QString::trimmed it leaves other Unicode blanks alone.
QString Trim(QStringView text);
QByteArray TrimAnsi(QByteArrayView text);

// Cuts `text` at every exact (case-sensitive) occurrence of `separator`.
// - The piece after the last separator is kept only when the text does not end with it.
// - A text without separator is one piece, except that an empty text with a
//   one-character separator gives no piece at all.
// - With `trim`, pieces are trimmed and dropped when that leaves them empty.
QStringList SplitText(QStringView text, QStringView separator, bool trim);
QList<QByteArray> SplitAnsi(QByteArrayView text, QByteArrayView separator, bool trim);

// Cuts `text` at `ch` where no bracket ( [ { is open; pieces are trimmed, empty ones
// dropped. Closing brackets may take the depth below zero; cuts happen only at zero.
QStringList SplitTopLevel(QStringView text, QChar ch);
// The same without copies: calls `piece(QStringView)` for each piece in order.
template <typename F> void ForEachTopLevel(QStringView text, QChar ch, F&& piece);
// Trim as a view into `text`.
QStringView TrimView(QStringView text);

// The n-th field (from 0) of `text` cut at `separator`: the whole text when it has no
// separator, the rest of the text for the last field, empty when there are fewer than n
// separators.
QByteArray ExtractField(QByteArrayView text, char separator, int n);

// For each pattern in order, replaces occurrences until none is left, searching again
// after each replacement (so "...." with ".." -> "." collapses completely). Does nothing
// when the lists differ in length or the text is empty. A replacement that contains its
// own pattern is applied once over the text instead of looping forever.
void ReplaceAll(QString& text, std::span<const QString> patterns,
                std::span<const QString> replacements);

// Deletes every occurrence of every listed character.
void DeleteChars(QString& text, QStringView characters);

// While `open` occurs with a `close` after it: deletes from the first `open` through the
// first `close` that follows it. A `close` before the first `open` is left alone.
void DeleteEnclosed(QString& text, QChar open, QChar close);

// Position of `ch` in `characters`, or -1.
int CharIndex(QChar ch, QStringView characters);

// The text as one line: every line break (CR LF, a lone CR, a lone LF) becomes one blank.
// For text that a one-line field takes from outside (a paste, a drop, the hotkey's
// selection): a line break kept there would end up in the history and in options.ini.
QString LineBreaksToBlanks(QStringView text);

// The UTF-8 bytes cut to at most `maxBytes`, never inside a multi-byte sequence.
QByteArray CutUtf8(QByteArray utf8, qsizetype maxBytes);

// text = QString::fromUtf8(utf8), decoded into the string's own buffer when it is not
// shared and large enough: refilling the same strings query after query (the word list's
// window, the result rows) then allocates nothing. Well-formed UTF-8 is decoded here;
// anything else (bad or cut sequences, noncharacters, a byte order mark) goes through
// QString::fromUtf8, so the result is always exactly its.
void AssignUtf8(QString& text, QByteArrayView utf8);

template <typename F> void ForEachTopLevel(QStringView text, QChar ch, F&& piece) {
    auto take = [&](QStringView part) {
        part = TrimView(part);
        if (!part.isEmpty())
            piece(part);
    };
    // The units that matter here as bits, so that the common letter costs one test: the
    // import cuts every side of the source three times.
    const char16_t separator = ch.unicode();
    quint64 marks[2] = {0, 0};
    for (const char16_t m : {u'(', u'[', u'{', u')', u']', u'}'})
        marks[m >> 6] |= quint64(1) << (m & 63);
    if (separator < 128)
        marks[separator >> 6] |= quint64(1) << (separator & 63);
    const char16_t* const units = text.utf16();
    int depth = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = units[i];
        if (c < 128 ? !((marks[c >> 6] >> (c & 63)) & 1) : c != separator)
            continue;
        if (c == separator && depth == 0) {
            take(text.sliced(start, i - start));
            start = i + 1;
        } else if (c == u'(' || c == u'[' || c == u'{') {
            ++depth;
        } else if (c == u')' || c == u']' || c == u'}') {
            --depth;
        }
    }
    if (start < text.size())
        take(text.sliced(start));
}

} // namespace quillet
