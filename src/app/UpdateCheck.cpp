// SPDX-License-Identifier: GPL-2.0-or-later
#include "UpdateCheck.h"

#include "ProjectLinks.h"
#include "PronFont.h"
#include "Translations.h"

#include <algorithm>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMessageBox>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrlQuery>
#include <QWidget>

namespace quillet {
namespace {

const QString kProductName = QStringLiteral("Quillet-Dictionary");
const QString kFailed = QStringLiteral("Überprüfung auf neue Version fehlgeschlagen");
constexpr int kMaxRedirects = 15;
constexpr int kMaxShownValue = 80; // characters of a bad header value quoted in a message

bool IsAlnum(QChar c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// Dotted parts of letters and digits, none empty: what the program's own versions look
// like, and all a version text may hold before it is compared and shown.
bool IsVersionText(const QString& text) {
    const QStringList parts = text.split(u'.');
    for (const QString& part : parts) {
        if (part.isEmpty() || !std::all_of(part.begin(), part.end(), IsAlnum))
            return false;
    }
    return true;
}

bool IsBuildText(const QString& text) {
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

QString Shortened(const QString& text) {
    return text.size() <= kMaxShownValue ? text : text.left(kMaxShownValue) + u'…';
}

QString BadValue(const QString& value, const char* header) {
    return FillPlaceholders(Translate(QStringLiteral("Ungültiger Wert »%s« im Kopffeld %s")),
                            {Shortened(value), QLatin1String(header)});
}

TUpdateResult Failure(TUpdateAnswer kind, const QString& reason = {}) {
    TUpdateResult result;
    result.Kind = kind;
    result.Message = Translate(kFailed);
    if (!reason.isEmpty())
        result.Message += QStringLiteral("\n\n") + reason;
    return result;
}

// Letters, digits and dots pass unchanged; anything else is escaped rather than allowed
// to change the query.
QString QueryValue(const QString& text) {
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

} // namespace

TStatus CompareVersions(const QString& a, const QString& b, int& result) {
    const QStringList partsA = a.split(u'.');
    const QStringList partsB = b.split(u'.');
    for (qsizetype i = 0; i < qMax(partsA.size(), partsB.size()); ++i) {
        if (i >= partsA.size() || i >= partsB.size()) {
            return TStatus::Error(FillPlaceholders(
                Translate(QStringLiteral("Die Versionen %s und %s haben unterschiedlich viele "
                                         "Teile.")),
                {Shortened(a), Shortened(b)}));
        }
        const int order = QString::compare(partsA[i], partsB[i], Qt::CaseSensitive);
        if (order != 0) {
            result = order > 0 ? 1 : -1;
            return TStatus::Ok();
        }
    }
    result = 0;
    return TStatus::Ok();
}

QUrl UpdateServiceUrl(const QString& configured) {
    const QUrl url(configured.trimmed(), QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (url.isValid() && (scheme == u"http" || scheme == u"https") && !url.host().isEmpty()) {
        QUrl service;
        service.setScheme(scheme);
        service.setHost(url.host());
        service.setPort(url.port());
        return service;
    }
    return QUrl(QStringLiteral("https://") + kSiteHost.toString());
}

TUpdateCheck::TUpdateCheck(QObject* parent) : QObject(parent) {
    FManager.setProxy(QNetworkProxy::NoProxy);
}

TUpdateCheck::~TUpdateCheck() {
    // A check still running ends without an answer.
    if (FReply) {
        disconnect(FReply, nullptr, this, nullptr);
        FReply->abort();
    }
}

bool TUpdateCheck::Start(const QUrl& service, const QString& appVersion, const QString& appBuild) {
    if (FReply)
        return false;
    FAppVersion = appVersion;
    FAppBuild = appBuild;

    QUrl url;
    url.setScheme(service.scheme());
    url.setHost(service.host());
    url.setPort(service.port());
    url.setPath(QStringLiteral("/dictionary/update.php"));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("language"), UILanguageCode());
    query.addQueryItem(QStringLiteral("version"), QueryValue(appVersion));
    query.addQueryItem(QStringLiteral("build"), QueryValue(appBuild));
    url.setQuery(query);

    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Quillet Dictionary"));
    request.setRawHeader("Accept", "text/html, */*");
    // Redirects are followed, but never from https to http.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(kMaxRedirects);
    request.setTransferTimeout(FTimeout);

    FReply = FManager.get(request);
    // The body carries nothing the check needs; dropping it keeps a large one out of memory.
    QNetworkReply* reply = FReply;
    connect(reply, &QNetworkReply::readyRead, this,
            [reply] { reply->skip(reply->bytesAvailable()); });
    connect(reply, &QNetworkReply::finished, this, &TUpdateCheck::ReplyFinished);
    return true;
}

void TUpdateCheck::ReplyFinished() {
    QNetworkReply* reply = FReply;
    FReply = nullptr;
    if (!reply)
        return;
    const TUpdateResult result = Evaluate(reply);
    reply->deleteLater();
    emit finished(result);
}

TUpdateResult TUpdateCheck::Evaluate(QNetworkReply* reply) const {
    const QVariant statusAttribute = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const int status = statusAttribute.isValid() ? statusAttribute.toInt() : 0;

    if (reply->error() != QNetworkReply::NoError) {
        if (status >= 400) {
            const QString phrase =
                reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
            return Failure(TUpdateAnswer::Error,
                           QStringLiteral("HTTP %1 %2").arg(status).arg(phrase).trimmed());
        }
        // The transfer timer cancels a request that has gone quiet; nothing else does.
        if (reply->error() == QNetworkReply::OperationCanceledError)
            return Failure(TUpdateAnswer::Error,
                           Translate(QStringLiteral("Zeitüberschreitung der Verbindung")));
        return Failure(TUpdateAnswer::Error, reply->errorString());
    }

    if (status != 200 || !reply->hasRawHeader("X-Version") || !reply->hasRawHeader("X-Build") ||
        !reply->hasRawHeader("X-Download-URL"))
        return Failure(TUpdateAnswer::Failed);

    const QString version = QString::fromLatin1(reply->rawHeader("X-Version"));
    const QString build = QString::fromLatin1(reply->rawHeader("X-Build"));
    const QByteArray address = reply->rawHeader("X-Download-URL");
    if (!IsVersionText(version))
        return Failure(TUpdateAnswer::Error, BadValue(version, "X-Version"));
    if (!IsBuildText(build))
        return Failure(TUpdateAnswer::Error, BadValue(build, "X-Build"));
    // The address goes to the desktop's "open": only a web page may come through it.
    const QUrl download = QUrl::fromEncoded(address, QUrl::StrictMode);
    const QString scheme = download.scheme().toLower();
    if (!download.isValid() || (scheme != u"http" && scheme != u"https") ||
        download.host().isEmpty())
        return Failure(TUpdateAnswer::Error,
                       BadValue(QString::fromLatin1(address), "X-Download-URL"));

    int order = 0;
    const TStatus compared = CompareVersions(version, FAppVersion, order);
    if (!compared.ok())
        return Failure(TUpdateAnswer::Error, compared.message());

    TUpdateResult result;
    result.Version = version;
    result.Build = build;
    if (order >= 0 && QString::compare(build, FAppBuild, Qt::CaseSensitive) > 0) {
        result.Kind = TUpdateAnswer::NewVersion;
        result.DownloadUrl = download;
        result.Message =
            FillPlaceholders(Translate(QStringLiteral("Neue Version %s (Build %s) von %s "
                                                      "verfügbar.")),
                             {version, build, kProductName}) +
            QStringLiteral("\n\n") +
            Translate(QStringLiteral("Wollen Sie die Download-Seite jetzt aufrufen?"));
    } else {
        result.Kind = TUpdateAnswer::Current;
        result.Message = FillPlaceholders(
            Translate(QStringLiteral("Sie besitzen die aktuellste Version %s von %s.")),
            {FAppVersion, kProductName});
    }
    return result;
}

bool ShowUpdateResult(QWidget* parent, const TUpdateResult& result) {
    const QString title = parent && !parent->windowTitle().isEmpty()
                              ? parent->windowTitle()
                              : QGuiApplication::applicationDisplayName();
    switch (result.Kind) {
    case TUpdateAnswer::NewVersion:
        if (QMessageBox::information(parent, title, result.Message,
                                     QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
            return false;
        // Closing only makes sense once a browser has the download page.
        return QDesktopServices::openUrl(result.DownloadUrl);
    case TUpdateAnswer::Current:
        QMessageBox::information(parent, title, result.Message, QMessageBox::Ok);
        return false;
    case TUpdateAnswer::Failed: {
        QMessageBox box(QMessageBox::NoIcon, title, result.Message, QMessageBox::Ok, parent);
        box.exec();
        return false;
    }
    case TUpdateAnswer::Error:
        QMessageBox::warning(parent, title, result.Message, QMessageBox::Ok);
        return false;
    }
    return false;
}

} // namespace quillet
