// SPDX-License-Identifier: GPL-2.0-or-later
#include "PronPanel.h"

#include <QtTest>

using namespace quillet;

namespace {

// Leftmost and rightmost column of the panel's paint area holding a pixel `match` accepts;
// (-1, -1) for none.
template <typename Match> QPair<int, int> extent(TPronPanel& panel, Match match) {
    const QImage image = panel.grab().toImage();
    const QRect area = panel.contentsRect();
    int first = -1, last = -1;
    for (int x = area.left(); x <= area.right(); ++x)
        for (int y = area.top(); y <= area.bottom(); ++y)
            if (match(QColor(image.pixel(x, y)))) {
                first = first < 0 ? x : first;
                last = x;
            }
    return {first, last};
}

bool isIpaRed(const QColor& c) {
    return c.red() > 80 && c.red() < 200 && c.green() < 60 && c.blue() < 60;
}
bool isBlack(const QColor& c) {
    return c.red() < 60 && c.green() < 60 && c.blue() < 60;
}

} // namespace

class TestPronPanel : public QObject {
    Q_OBJECT

private slots:
    void ipaIsRightAlignedAndClipped() {
        TPronPanel panel;
        panel.resize(400, 28);
        panel.SetPronFont(QFont(QStringLiteral("DejaVu Sans"), 12));
        const int right = panel.contentsRect().right() + 1 - 10; // where the IPA text ends
        const int left = panel.contentsRect().left() + 5;
        panel.SetWord("haus", QString::fromUtf8("haʊs"));
        const int ipaWidth =
            QFontMetrics(panel.PronFont(), &panel).horizontalAdvance(QString::fromUtf8("[haʊs]"));
        const auto ipa = extent(panel, isIpaRed);
        QVERIFY(ipa.second < right && ipa.second >= right - 5);
        QVERIFY(qAbs(ipa.first - (right - ipaWidth)) <= 3);
        const auto word = extent(panel, isBlack); // ends 10 pixels before the IPA text
        QVERIFY(word.second < right - ipaWidth - 10 && word.second >= right - ipaWidth - 15);

        // Too wide: the start is cut at the left margin and the word has no room left.
        panel.SetWord("haus", QString::fromUtf8("ʃtʁaːsənbaːnhaltəʃtɛlə").repeated(4));
        const auto cut = extent(panel, isIpaRed);
        QVERIFY2(cut.first >= left && cut.first <= left + 3,
                 qPrintable(QString::number(cut.first)));
        QVERIFY(cut.second < right);
        QCOMPARE(extent(panel, isBlack).first, -1);
    }

    void noticeOrNothingWithoutIpa() {
        TPronPanel panel;
        panel.resize(400, 28);
        QString asked;
        panel.SetTranslator([&](const QString& text) {
            asked = text;
            return QStringLiteral("no pronunciation for »%s« available");
        });
        panel.SetWord("Xyz", {});
        const auto text = extent(panel, isBlack);
        QCOMPARE(asked, QStringLiteral("keine Lautschrift für »%s« vorhanden"));
        QFont font(QStringLiteral("Arial"), 11);
        font.setBold(true);
        const int width =
            QFontMetrics(font, &panel)
                .horizontalAdvance(QStringLiteral("no pronunciation for »Xyz« available"));
        const int right = panel.contentsRect().right() + 1 - 10;
        QVERIFY(text.second < right && text.second >= right - 4);
        QVERIFY2(qAbs(text.first - (right - width)) <= 3, qPrintable(QString::number(text.first)));
        QCOMPARE(extent(panel, isIpaRed).first, -1);

        panel.SetWord({}, {});
        QCOMPARE(extent(panel, [](const QColor& c) { return c != QColor(255, 255, 149); }).first,
                 -1);
    }
};

QTEST_MAIN(TestPronPanel)
#include "test_pronpanel.moc"
