// SPDX-License-Identifier: GPL-2.0-or-later
#include "ResultGrid.h"
#include "Translations.h"
#include "WebSearch.h"

#include <QAction>
#include <QDesktopServices>
#include <QMenu>
#include <QtTest>

using namespace quillet;

// Receives what QDesktopServices::openUrl would hand to the browser.
class TUrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> Urls;
public slots:
    void open(const QUrl& url) { Urls.append(url); }
};

class TestWebSearch : public QObject {
    Q_OBJECT

private slots:
    void addresses_data() {
        QTest::addColumn<int>("service");
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("word");
        QTest::addColumn<QByteArray>("expected");
        const QString word = QStringLiteral("grüne Bohne");
        const QByteArray w = "gr%C3%BCne%20Bohne";
        QTest::newRow("Wikipedia en") << 1 << 0 << word << "https://en.wikipedia.org/wiki/" + w;
        QTest::newRow("Wikipedia de") << 1 << 1 << word << "https://de.wikipedia.org/wiki/" + w;
        QTest::newRow("Google en")
            << 2 << 0 << word << "https://www.google.com/search?hl=en&q=" + w;
        QTest::newRow("Google de") << 2 << 1 << word << "https://www.google.de/search?hl=de&q=" + w;
        QTest::newRow("Yahoo en") << 3 << 0 << word << "https://search.yahoo.com/search?p=" + w;
        QTest::newRow("Yahoo de") << 3 << 1 << word << "https://de.search.yahoo.com/search?p=" + w;
        QTest::newRow("MSN en") << 4 << 0 << word
                                << "https://www.bing.com/search?q=" + w + "&setlang=en";
        QTest::newRow("MSN de") << 4 << 1 << word
                                << "https://www.bing.com/search?q=" + w + "&cc=de&setlang=de";
        // Characters that would otherwise end the word, join words or start an escape.
        const QString odd = QStringLiteral(" C++ & 100%#1?");
        QTest::newRow("Google, delimiters in the word")
            << 2 << 0 << odd
            << QByteArray("https://www.google.com/search?hl=en&q=%20C%2B%2B%20%26%20100%25%231%3F");
        QTest::newRow("Wikipedia, delimiters in the word")
            << 1 << 0 << odd
            << QByteArray("https://en.wikipedia.org/wiki/%20C++%20&%20100%25%231%3F");
    }
    void addresses() {
        QFETCH(int, service);
        QFETCH(int, language);
        QFETCH(QString, word);
        QFETCH(QByteArray, expected);
        const QUrl url = WebSearchUrl(TWebService(service), language, word);
        QCOMPARE(url.toEncoded(), expected);
    }

    // Right-clicking Haus in the German column and choosing the Wikipedia item opens the
    // German article; the items follow the copy commands and switch language with the UI.
    void contextMenuItems() {
        TResultGrid grid;
        AddWebSearchItems(&grid);
        grid.setFrameShape(QFrame::NoFrame);
        grid.resize(500, 300);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        grid.Fill({{"Haus", "house", 1}}, 0, false, {});
        grid.viewport()->grab(); // lays the cells out

        const QList<QAction*> items = grid.ContextMenu()->actions();
        QStringList names;
        for (const QAction* item : items)
            names << (item->isSeparator() ? QStringLiteral("-") : item->objectName());
        QCOMPARE(names.join(u' '), "miCopy miCopyLine - miSearchWikipedia miSearchGoogle "
                                   "miSearchYahoo miSearchMSN");
        QCOMPARE(items[3]->text(), "&Wikipedia nachschlagen");
        QCOMPARE(items[6]->data().toInt(), 4);
        SetUILanguage(kUILanguageEnglish);
        TranslateWebSearchItems(grid.ContextMenu());
        SetUILanguage(kUILanguageGerman);
        QCOMPARE(items[5]->text(), "&Yahoo  search");

        const QRect cell = grid.CellRect(1, 2);
        const TTermWord& hot = grid.CellObject(1, 2)->HotWords.at(0);
        QTest::mousePress(grid.viewport(), Qt::RightButton, {},
                          cell.topLeft() + QPoint((hot.Left + hot.Right) / 2, hot.Top + 2));
        QCOMPARE(grid.PopupWord(), "Haus");
        TUrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
        items[3]->trigger();
        items[4]->trigger();
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        grid.ContextMenu()->close();
        QCOMPARE(catcher.Urls.size(), 2);
        QCOMPARE(catcher.Urls[0].toString(), "https://de.wikipedia.org/wiki/Haus");
        QCOMPARE(catcher.Urls[1].toString(), "https://www.google.de/search?hl=de&q=Haus");
    }
};

QTEST_MAIN(TestWebSearch)
#include "test_websearch.moc"
