// SPDX-License-Identifier: GPL-2.0-or-later
#include "ProjectLinks.h"
#include "Translations.h"

#include <QtTest>

using namespace quillet;

class TestTranslations : public QObject {
    Q_OBJECT

private slots:
    void languageIndexAndCode() {
        QCOMPARE(UILanguageIndex(), kUILanguageGerman);
        QCOMPARE(UILanguageCode(), "de");
        SetUILanguage(kUILanguageEnglish);
        QCOMPARE(UILanguageIndex(), kUILanguageEnglish);
        QCOMPARE(UILanguageCode(), "en");
        SetUILanguage(5); // a hand-edited setting
        QCOMPARE(UILanguageCode(), "de");
    }

    void translate_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("german");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* name, int language, QStringView german,
                            QStringView expected) {
            QTest::newRow(name) << language << german.toString() << expected.toString();
        };
        row("DEU", 1, u"DEU", u"GER");
        row("DEU in German", 0, u"DEU", u"DEU");
        row("key ignores case", 1, u"deutsch", u"German");
        row("Hotkey replaced by HotKey", 1, u"Hotkey", u"HotKey");
        row("HotKey in German", 0, u"HotKey", u"HotKey");
        row("Yahoo, two spaces", 1, u"&Yahoo suchen", u"&Yahoo  search");
        row("last row", 1, u"&MSN suchen", u"&MSN search");
        row("placeholders", 1, u"%d Stichwörter, %d Verweise", u"%d keywords, %d references");
        row("umlaut key", 1, u"Über Quillet-Dictionary...", u"About Quillet-Dictionary...");
        row("accents count", 1, u"Worterbuch", u"Worterbuch");
        row("colon must match", 1, u"Sprache:", u"Sprache:");
        row("unknown", 1, u"kein Treffer", u"kein Treffer");
        row("site name", 1, kSiteNameDe, kSiteNameEn);
        row("product page", 1, kProductPageDe, kProductPageEn);
        row("forum", 1, kForumDe, kForumEn);
    }
    void translate() {
        QFETCH(int, language);
        QFETCH(QString, german);
        QFETCH(QString, expected);
        SetUILanguage(language);
        QCOMPARE(Translate(german), expected);
    }

    // Qt's own texts switch with the language: the buttons Qt gives message boxes.
    void qtTextsFollow() {
        SetUILanguage(kUILanguageGerman);
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&No"), "&Nein");
        SetUILanguage(kUILanguageEnglish);
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&No"), "&No");
    }

    void cleanup() { SetUILanguage(kUILanguageGerman); }
};

QTEST_GUILESS_MAIN(TestTranslations)
#include "test_translations.moc"
