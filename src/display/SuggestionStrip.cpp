// SPDX-License-Identifier: GPL-2.0-or-later
#include "SuggestionStrip.h"

#include "DrawTools.h"
#include "SkinPalette.h"

#include <algorithm>
#include <QAbstractButton>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QStyleOptionFocusRect>

namespace quillet {
namespace {

constexpr quint32 kWordColor = 0x00000080;  // maroon, as the banner's text
constexpr quint32 kHoverColor = 0x00FF0000; // blue, as the banner under the pointer
constexpr int kHeight = 22;

QFont stripFont(bool bold) {
    return PixelFont(QStringLiteral("Tahoma"), 12, bold);
}

// One offered word: drawn like the banner's link, underlined under the pointer, with a
// focus frame when the keyboard is on it. Being a button, it is announced as one and
// Space presses it.
class TStripWord : public QAbstractButton {
public:
    TStripWord(const QString& word, QWidget* parent) : QAbstractButton(parent) {
        setText(word);
        setFont(stripFont(true));
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::TabFocus);
        setAttribute(Qt::WA_Hover); // repainted when the pointer comes and goes
    }

    QSize sizeHint() const override {
        const QFontMetrics metrics(font());
        return {metrics.horizontalAdvance(text()) + 6, metrics.height() + 2};
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const bool hot = underMouse() || isDown();
        QFont font = this->font();
        font.setUnderline(hot);
        painter.setFont(font);
        painter.setPen(PlatformColor(hot ? kHoverColor : kWordColor));
        painter.drawText(rect(), Qt::AlignCenter, text());
        if (hasFocus()) {
            QStyleOptionFocusRect option;
            option.initFrom(this);
            option.backgroundColor = PlatformColor(skin::PaleYellow);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
        }
    }
};

QLabel* stripLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setFont(stripFont(false));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, PlatformColor(skin::Black));
    label->setPalette(palette);
    return label;
}

} // namespace

TSuggestionStrip::TSuggestionStrip(QWidget* parent) : QWidget(parent) {
    setFixedHeight(kHeight);
    FLayout = new QHBoxLayout(this);
    FLayout->setContentsMargins(6, 0, 6, 0);
    FLayout->setSpacing(2);
    hide();
}

void TSuggestionStrip::SetTexts(const QString& question, const QString& language1,
                                const QString& language2) {
    FQuestion = question;
    FLanguages[0] = language1;
    FLanguages[1] = language2;
    Rebuild();
}

void TSuggestionStrip::SetSuggestions(const TSuggestionArray& suggestions) {
    TSuggestionArray shown(suggestions.begin(),
                           suggestions.begin() +
                               std::min<size_t>(suggestions.size(), TSuggester::kMaxSuggestions));
    // The other language first: choosing it also changes the searched language, so it
    // must not hide among the words of this one.
    std::stable_partition(shown.begin(), shown.end(), [](const TSuggestion& s) {
        return s.Kind == TSuggestionKind::OtherLanguage;
    });
    if (shown == FShown)
        return;
    FShown = std::move(shown);
    Rebuild();
}

QString TSuggestionStrip::Caption(const TSuggestion& suggestion) const {
    if (suggestion.Kind == TSuggestionKind::OtherLanguage)
        return FLanguages[suggestion.Direction == 1 ? 1 : 0];
    return FQuestion;
}

void TSuggestionStrip::Rebuild() {
    // Later: the word whose click led here may still be delivering it.
    while (QLayoutItem* item = FLayout->takeAt(0)) {
        if (QWidget* widget = item->widget()) {
            widget->hide();
            widget->deleteLater();
        }
        delete item;
    }
    FButtons.clear();
    QString group;
    for (size_t i = 0; i < FShown.size(); ++i) {
        const QString caption = Caption(FShown[i]);
        if (i == 0 || caption != group) {
            if (i > 0)
                FLayout->addSpacing(10);
            FLayout->addWidget(stripLabel(caption + QLatin1Char(':'), this));
            group = caption;
        } else {
            QLabel* dot = stripLabel(QStringLiteral("\u00B7"), this);
            dot->setAccessibleName(QString(QChar::Space)); // nothing to read
            FLayout->addWidget(dot);
        }
        auto* word = new TStripWord(FShown[i].Word, this);
        const QString keys = QStringLiteral("Alt+%1").arg(i + 1);
        word->setToolTip(keys);
        word->setAccessibleDescription(caption + QStringLiteral(" (") + keys + QLatin1Char(')'));
        connect(word, &QAbstractButton::clicked, this, [this, i] { Choose(int(i)); });
        FLayout->addWidget(word);
        FButtons.push_back(word);
    }
    FLayout->addStretch(1);
    setVisible(!FShown.empty());
    update();
}

QString TSuggestionStrip::ShownText() const {
    QString text;
    QString group;
    for (size_t i = 0; i < FShown.size(); ++i) {
        const QString caption = Caption(FShown[i]);
        if (i == 0 || caption != group) {
            if (i > 0)
                text += QStringLiteral("  ");
            text += caption + QStringLiteral(": ");
            group = caption;
        } else {
            text += QStringLiteral(" \u00B7 ");
        }
        text += FShown[i].Word;
    }
    return text;
}

QAbstractButton* TSuggestionStrip::WordButton(int index) const {
    return index >= 0 && index < int(FButtons.size()) ? FButtons[size_t(index)] : nullptr;
}

bool TSuggestionStrip::Choose(int index) {
    if (index < 0 || index >= int(FShown.size()))
        return false;
    // Copied: a receiver may replace the suggestions, and with them this one.
    const TSuggestion suggestion = FShown[size_t(index)];
    emit chosen(suggestion);
    return true;
}

void TSuggestionStrip::paintEvent(QPaintEvent*) {
    // The pronunciation line's pale yellow in the buttons' dark orange outline.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(PlatformColor(skin::DarkOrangeOutline));
    painter.setBrush(PlatformColor(skin::PaleYellow));
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
}

} // namespace quillet
