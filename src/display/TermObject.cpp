// SPDX-License-Identifier: GPL-2.0-or-later
#include "TermObject.h"

#include "Collation.h"
#include "DrawTools.h"
#include "TextTools.h"

#include <algorithm>

namespace quillet {
namespace {

const quint32 colorBlack = 0x00000000;
const quint32 colorNavy = 0x00800000;
const quint32 colorGrey = 0x00808080;

// How one word is set, decided by the markup state and the search words.
struct WordStyle {
    QString shown; // the text drawn: annotation words lose their brackets
    bool italic = false;
    bool bold = false;
    quint32 color = colorBlack;
    bool clickable = true;
};

// The two open runs of a part. They live across sense groups on purpose: only a closing
// word ends a run, so an unbalanced bracket keeps its style to the end of the part.
struct RunState {
    bool parenOpen = false;
    bool annotationOpen = false;
};

bool endsAnnotation(const QString& word) {
    return EndsText(u"}", word) || EndsText(u"]", word);
}

bool isSearchWord(const QStringList& searchWords, const QString& word) {
    return std::any_of(searchWords.begin(), searchWords.end(),
                       [&](const QString& search) { return SameText(search, word); });
}

// A search word plus one character: a plural s, or the comma that follows the word.
bool isSearchWordPlusOne(const QStringList& searchWords, const QString& word) {
    return std::any_of(searchWords.begin(), searchWords.end(), [&](const QString& search) {
        return word.size() == search.size() + 1 && StartsText(search, word);
    });
}

WordStyle classify(const QString& word, const QStringList& searchWords, RunState& state) {
    WordStyle style;
    style.shown = word;
    // Inside a parenthesis run nothing is highlighted, so it is checked first.
    if (state.parenOpen || StartsText(u"(", word)) {
        state.parenOpen = true;
        style.italic = true;
    } else if (isSearchWord(searchWords, word) || isSearchWordPlusOne(searchWords, word)) {
        // Highlighted even inside an annotation, brackets and all; it does not close it.
        style.bold = true;
        style.color = colorNavy;
    } else if (state.annotationOpen && endsAnnotation(word)) {
        state.annotationOpen = false;
        style.italic = true;
        style.color = colorGrey;
        style.clickable = false;
    } else if (state.annotationOpen || StartsText(u"{", word) || StartsText(u"[", word)) {
        if (!endsAnnotation(word))
            state.annotationOpen = true;
        style.italic = true;
        style.color = colorGrey;
        style.clickable = false;
    }
    if (!style.clickable)
        DeleteChars(style.shown, u"[]{}");
    return style;
}

// The hot-spot name of a clickable word: empty when too short to be looked up.
QString hotWord(const QString& shown) {
    QString hot = shown;
    DeleteChars(hot, u".,;:'()[]{}0123456789");
    return hot.size() > 1 ? hot : QString();
}

// Sets words in one style: measures them in the font of that style on the target device
// and, when there is a painter, draws them. Without a painter it only lays the part out,
// so that the grid knows a row's height before the row is painted.
class WordSetter {
public:
    explicit WordSetter(QPainter& painter)
        : FPainter(&painter), FFont(painter.font()), FMetrics(painter.fontMetrics()) {}
    explicit WordSetter(const TTermMetrics& metrics) : FMeasures(&metrics), FMetrics(QFont()) {}

    void setStyle(bool italic, bool bold, quint32 color) {
        if (FMeasures) {
            FItalic = italic;
            FBold = bold;
            return;
        }
        FFont.setItalic(italic);
        FFont.setBold(bold);
        FFont.setUnderline(false);
        FFont.setStrikeOut(false);
        FPainter->setFont(FFont);
        FPainter->setPen(PlatformColor(color));
        FMetrics = FPainter->fontMetrics();
    }
    int width(const QString& text) const {
        return FMeasures ? FMeasures->Width(FItalic, FBold, text)
                         : FMetrics.horizontalAdvance(text);
    }
    void draw(const QRect& clip, int x, int y, const QString& text) {
        if (FPainter)
            WideTextRect(*FPainter, clip, x, y, text);
    }

private:
    QPainter* FPainter = nullptr;
    const TTermMetrics* FMeasures = nullptr;
    bool FItalic = false, FBold = false;
    QFont FFont;
    QFontMetrics FMetrics;
};

} // namespace

TTermMetrics::TTermMetrics(const QFont& font, const QPaintDevice* device) {
    for (const bool bold : {false, true}) {
        for (const bool italic : {false, true}) {
            QFont styled = font;
            styled.setItalic(italic);
            styled.setBold(bold);
            styled.setUnderline(false);
            styled.setStrikeOut(false);
            FMetrics.emplace_back(styled, device);
        }
    }
}

int TTermMetrics::Width(bool italic, bool bold, const QString& text) const {
    const int style = italic + 2 * bold;
    auto found = FWidths[style].constFind(text);
    if (found == FWidths[style].cend())
        found = FWidths[style].insert(text, FMetrics[style].horizontalAdvance(text));
    return *found;
}

TTermObject::TTermObject(const QString& text, const QString& searchText)
    : Text(text), SearchWords(SplitText(searchText, u" ", true)) {}

namespace {

// Draw and Measure: the one layout of a part, with or without drawing it.
void layOut(TTermObject& object, WordSetter& setter, QRect& rect) {
    const int rectLeft = rect.left();
    const int rectTop = rect.top();
    const int rectRight = rect.left() + rect.width();

    const int lineHeight = object.LineHeight;
    object.TotalHeight = 0;
    object.HotWords.clear();
    setter.setStyle(false, false, colorBlack);
    const int spaceWidth = setter.width(QStringLiteral(" "));

    const QStringList groups = SplitTopLevel(object.Text, u';');

    int top = rectTop;
    int bottom = rectTop + lineHeight + 1;
    object.TotalHeight = lineHeight;
    int x = rectLeft + (object.PartIndex == 0 ? 2 : 8);
    int widest = rectLeft; // an empty part is zero wide
    RunState state;

    for (qsizetype g = 0; g < groups.size(); ++g) {
        const QStringList words = SplitText(groups[g], u" ", true);
        for (qsizetype i = 0; i < words.size(); ++i) {
            const QString& word = words[i];
            const WordStyle style = classify(word, object.SearchWords, state);
            setter.setStyle(style.italic, style.bold, style.color);

            // Italic glyphs lean past their advance; the extra 2 pixels keep them whole.
            const int width = setter.width(style.shown) + 1 + (style.italic ? 2 : 0);
            int right = x + width;
            if (right >= rectRight) {
                // Words move to a new line whole; one too wide for any line is clipped.
                object.TotalHeight += lineHeight;
                top += lineHeight;
                bottom += lineHeight;
                x = rectLeft + 8;
                right = x + width;
            }
            setter.draw(RectLTRB(x, top, right, bottom), x + 1, top, style.shown);

            if (style.clickable) {
                if (const QString hot = hotWord(style.shown); !hot.isEmpty())
                    object.HotWords.push_back({hot, x - rectLeft, top - rectTop,
                                               right - rectLeft + 1,
                                               top - rectTop + lineHeight - 3});
            }

            widest = std::max(widest, right);
            if (i + 1 < words.size())
                // Words of a parenthesis run sit closer: their italic allowance is taken
                // back, the closing word's included.
                x = right + spaceWidth - (state.parenOpen ? 2 : 0);
            else
                x = right;
            if (state.parenOpen && EndsText(u")", word))
                state.parenOpen = false;
        }

        if (g + 1 < groups.size()) {
            // The separator stays on the line of the group it ends, even past the edge.
            setter.setStyle(false, false, colorBlack);
            const QString separator = QStringLiteral("; ");
            const int separatorWidth = setter.width(separator);
            setter.draw(RectLTRB(x, top, x + separatorWidth, bottom), x, top, separator);
            x += separatorWidth;
        }
    }

    rect = RectLTRB(rectLeft, rectTop, widest, bottom);
}

} // namespace

void TTermObject::Draw(QPainter& painter, QRect& rect) {
    painter.setBrush(Qt::NoBrush);
    WordSetter setter(painter);
    layOut(*this, setter, rect);
}

void TTermObject::Measure(const TTermMetrics& metrics, int width) {
    WordSetter setter(metrics);
    QRect rect(0, 0, width, LineHeight);
    layOut(*this, setter, rect);
}

QString TTermObject::PlainText() const {
    QStringList groups;
    RunState state;
    for (const QString& group : SplitTopLevel(Text, u';')) {
        QStringList shown;
        for (const QString& word : SplitText(group, u" ", true)) {
            shown.append(classify(word, SearchWords, state).shown);
            if (state.parenOpen && EndsText(u")", word))
                state.parenOpen = false;
        }
        groups.append(shown.join(u' '));
    }
    return groups.join(QStringLiteral("; "));
}

QStringList TTermObject::ClickableWords() const {
    QStringList words;
    RunState state;
    for (const QString& group : SplitTopLevel(Text, u';')) {
        for (const QString& word : SplitText(group, u" ", true)) {
            const WordStyle style = classify(word, SearchWords, state);
            if (style.clickable)
                if (const QString hot = hotWord(style.shown); !hot.isEmpty())
                    words.append(hot);
            if (state.parenOpen && EndsText(u")", word))
                state.parenOpen = false;
        }
    }
    return words;
}

} // namespace quillet
