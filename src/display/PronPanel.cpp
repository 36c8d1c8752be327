// SPDX-License-Identifier: GPL-2.0-or-later
#include "PronPanel.h"

#include "ChromeAccessible.h"
#include "DrawTools.h"

#include <algorithm>
#include <QPainter>
#include <utility>

namespace quillet {
namespace {

constexpr quint32 kBackgroundColor = 0x0095FFFF;
constexpr quint32 kIpaColor = 0x00000080;

// A rectangle from exclusive edges that stays empty instead of turning inside out when
// the panel is narrower than its margins.
QRect clipRect(int left, int top, int right, int bottom) {
    return RectLTRB(left, top, std::max(left, right), std::max(top, bottom));
}

QFont wordFont() {
    QFont font(QStringLiteral("Arial"), 11);
    font.setBold(true);
    return font;
}

} // namespace

TPronPanel::TPronPanel(QWidget* parent)
    : QFrame(parent), FPronFont(QStringLiteral("Junicode"), 12) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
}

void TPronPanel::SetWord(const QString& word, const QString& ipa) {
    const QString before = ShownText();
    FWord = word;
    FIpa = ipa;
    repaint();
    NotifyPaintedTextChanged(this, before, ShownText());
}

QString TPronPanel::NoticeText() const {
    const QString notice = QStringLiteral("keine Lautschrift für »%s« vorhanden");
    QString text = FTranslate ? FTranslate(notice) : notice;
    const qsizetype at = text.indexOf(QLatin1String("%s"));
    if (at >= 0)
        text.replace(at, 2, FWord);
    return text;
}

QString TPronPanel::ShownText() const {
    if (!FIpa.isEmpty())
        return FWord + QStringLiteral(" [") + FIpa + QLatin1Char(']');
    return FWord.isEmpty() ? QString() : NoticeText();
}

void TPronPanel::SetPronFont(const QFont& font) {
    FPronFont = font;
    update();
}

void TPronPanel::SetTranslator(std::function<QString(const QString&)> translate) {
    FTranslate = std::move(translate);
    update();
}

void TPronPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), PlatformColor(kBackgroundColor));
    drawFrame(&painter);

    const QRect box = contentsRect();
    painter.setClipRect(box);
    painter.translate(box.topLeft());
    painter.setBrush(Qt::NoBrush);
    const int left = 5, top = 3, bottom = box.height();
    int right = box.width() - 10;

    if (!FIpa.isEmpty()) {
        painter.setFont(FPronFont);
        painter.setPen(PlatformColor(kIpaColor));
        const QString ipa = QLatin1Char('[') + FIpa + QLatin1Char(']');
        const int width = WideTextWidth(painter, ipa);
        // Raised by 3 pixels so tall IPA marks line up with the word; their tops are cut.
        WideTextRect(painter, clipRect(left, top, right, bottom), right - width, top - 3, ipa);
        right -= width + 10;
        painter.setFont(wordFont());
        painter.setPen(Qt::black);
        WideTextRect(painter, clipRect(left, top, right, bottom),
                     right - WideTextWidth(painter, FWord), top, FWord);
    } else if (!FWord.isEmpty()) {
        const QString text = NoticeText();
        painter.setFont(wordFont());
        painter.setPen(Qt::black);
        WideTextRect(painter, clipRect(left, top, right, bottom),
                     right - WideTextWidth(painter, text), top, text);
    }
}

} // namespace quillet
