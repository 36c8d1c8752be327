// SPDX-License-Identifier: GPL-2.0-or-later
#include "WebSearch.h"

#include "ResultGrid.h"
#include "Translations.h"

#include <QAction>
#include <QDesktopServices>
#include <QMenu>
#include <QPointer>
#include <QUrlQuery>

namespace quillet {
namespace {

struct TServiceInfo {
    const char* ObjectName;
    QStringView Caption; // German; the key of its translation
    QStringView Host[2]; // by PopupLanguage: English edition, German edition
};

// Indexed by tag - 1.
const TServiceInfo kServices[] = {
    {"miSearchWikipedia", u"&Wikipedia nachschlagen", {u"en.wikipedia.org", u"de.wikipedia.org"}},
    {"miSearchGoogle", u"&Google suchen", {u"www.google.com", u"www.google.de"}},
    {"miSearchYahoo", u"&Yahoo suchen", {u"search.yahoo.com", u"de.search.yahoo.com"}},
    {"miSearchMSN", u"&MSN suchen", {u"www.bing.com", u"www.bing.com"}},
};

const TServiceInfo& Info(TWebService service) {
    return kServices[int(service) - 1];
}

// The value as query text in which every byte of its UTF-8 form that is not an unreserved
// character is percent-encoded: QUrlQuery keeps such escapes, while a bare "&", "+" or
// "%" would be read as a separator, a blank or the start of an escape.
QString QueryValue(const QString& text) {
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

} // namespace

QUrl WebSearchUrl(TWebService service, int language, const QString& word) {
    const int edition = language == 1 ? 1 : 0;
    QUrl url;
    url.setScheme(QStringLiteral("https"));
    url.setHost(Info(service).Host[edition].toString());
    QUrlQuery query;
    switch (service) {
    case TWebService::Wikipedia:
        // Decoded mode: "%", "?" and "#" in the word become part of the article name.
        url.setPath(QStringLiteral("/wiki/") + word, QUrl::DecodedMode);
        return url;
    case TWebService::Google:
        url.setPath(QStringLiteral("/search"));
        query.addQueryItem(QStringLiteral("hl"),
                           edition == 1 ? QStringLiteral("de") : QStringLiteral("en"));
        query.addQueryItem(QStringLiteral("q"), QueryValue(word));
        break;
    case TWebService::Yahoo:
        url.setPath(QStringLiteral("/search"));
        query.addQueryItem(QStringLiteral("p"), QueryValue(word));
        break;
    case TWebService::MSN:
        // Bing has one host; the edition is chosen by market and language.
        url.setPath(QStringLiteral("/search"));
        query.addQueryItem(QStringLiteral("q"), QueryValue(word));
        if (edition == 1) {
            query.addQueryItem(QStringLiteral("cc"), QStringLiteral("de"));
            query.addQueryItem(QStringLiteral("setlang"), QStringLiteral("de"));
        } else {
            query.addQueryItem(QStringLiteral("setlang"), QStringLiteral("en"));
        }
        break;
    }
    url.setQuery(query);
    return url;
}

void OpenWebSearch(TWebService service, int language, const QString& word) {
    QDesktopServices::openUrl(WebSearchUrl(service, language, word));
}

void AddWebSearchItems(TResultGrid* grid) {
    QMenu* menu = grid->ContextMenu();
    menu->addSeparator();
    const QPointer<TResultGrid> source(grid);
    for (int tag = 1; tag <= 4; ++tag) {
        const auto service = TWebService(tag);
        QAction* item = menu->addAction(Translate(Info(service).Caption.toString()));
        item->setObjectName(QLatin1String(Info(service).ObjectName));
        item->setData(tag);
        QObject::connect(item, &QAction::triggered, menu, [source, service] {
            if (source)
                OpenWebSearch(service, source->PopupLanguage(), source->PopupWord());
        });
    }
}

void TranslateWebSearchItems(QMenu* menu) {
    for (int tag = 1; tag <= 4; ++tag) {
        const TServiceInfo& info = Info(TWebService(tag));
        if (QAction* item = menu->findChild<QAction*>(QLatin1String(info.ObjectName)))
            item->setText(Translate(info.Caption.toString()));
    }
}

} // namespace quillet
