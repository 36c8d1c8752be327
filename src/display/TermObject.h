// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QPainter>
#include <QRect>
#include <QString>
#include <QStringList>
#include <vector>

// One part of one language side of an entry, laid out and drawn in a result-grid cell.
//
// Entry markup: a part holds sense groups separated by ";" (only at bracket depth 0),
// words separated by blanks. A word starting with "(" opens a parenthesis run (italic,
// normal colour, clickable) that ends with the first word ending in ")". A word starting
// with "{" or "[" opens an annotation run (italic grey, brackets removed, not clickable)
// that ends with the first word ending in "}" or "]". Words equal to a search word, or a
// search word plus one character, are bold navy. Other words are plain and clickable.
//
// Created by the result grid per cell; UI thread only.
namespace quillet {

// A clickable word and its rectangle relative to the top-left of the rectangle given to
// the last Draw. Right and bottom are inclusive bounds for hit tests.
struct TTermWord {
    QString Word; // without . , ; : ' ( ) [ ] { } and digits
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
};
using TTermWordArray = std::vector<TTermWord>;

// A cell font's metrics in the four styles of the markup (plain, italic, bold, bold
// italic) on one device: made once for the many parts a grid measures, it keeps the width
// of each word it measured, as results repeat their words.
class TTermMetrics {
public:
    // Only family and size of `font` count.
    TTermMetrics(const QFont& font, const QPaintDevice* device);
    int Width(bool italic, bool bold, const QString& text) const;

private:
    std::vector<QFontMetrics> FMetrics;
    mutable QHash<QString, int> FWidths[4];
};

class TTermObject {
public:
    // `searchText` is split at blanks (pieces trimmed, empty ones dropped).
    TTermObject(const QString& text, const QString& searchText);

    // Lays out and draws the text into `rect` with the painter's font (family and size set
    // by the caller), refills HotWords and TotalHeight, and returns in `rect` the right
    // edge of the widest line and the bottom of the last line: afterwards
    // rect.x() + rect.width() is that (exclusive) right edge and rect.y() + rect.height()
    // that bottom. Leaves the painter without brush and with the font style and pen colour
    // of the last word or separator drawn.
    void Draw(QPainter& painter, QRect& rect);
    // Lays the part out as Draw does in a cell `width` pixels wide, in the font `metrics`
    // measure, and draws nothing: TotalHeight and HotWords (for a rectangle at 0, 0) are
    // what Draw with that font on that device would leave.
    void Measure(const TTermMetrics& metrics, int width);

    // The part as the cell shows it, without layout: the words as drawn (annotations
    // without their brackets) joined by blanks, sense groups by "; ". What assistive
    // technology reads.
    QString PlainText() const;
    // The clickable words in order, as HotWords names them, without laying anything out.
    QStringList ClickableWords() const;

    QString Text;
    QStringList SearchWords;
    int TotalHeight = 0;
    int LineHeight = 0;
    TTermWordArray HotWords;
    int PartIndex = 0;
    int OppositeLanguage = 0;
};

} // namespace quillet
