// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "Status.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

class QWidget;

// The update check: asks the program's update service whether a newer version exists.
//
// The service is asked with GET /dictionary/update.php?language=..&version=..&build=..
// and answers in three response headers: X-Version (dotted version), X-Build (build
// number) and X-Download-URL (the download page). Versions are compared part by part and
// builds as a whole, all as texts by character codes, so "10" sorts before "9".
//
// TUpdateCheck runs the request without blocking and reports through `finished`; the
// boxes that show a result are ShowUpdateResult's. UI thread only.
namespace quillet {

// Compares two dotted versions part by part, each part as text by character codes.
// `result` is -1, 0 or 1 when the texts differ in a part or are equal. Versions of which
// one has fewer parts, all equal to the other's ("1.1" against "1.1.0"), cannot be
// compared: an error naming both.
TStatus CompareVersions(const QString& a, const QString& b, int& result);

// The service address from the setting: its scheme, host and port when it is an http or
// https address with a host, otherwise the program's own site over https.
QUrl UpdateServiceUrl(const QString& configured);

enum class TUpdateAnswer {
    NewVersion, // offered version not lower and build greater: offer the download page
    Current,    // the installed version is the most recent one
    Failed,     // the service answered, but not with status 200 and all three headers
    Error,      // no answer (connection, HTTP error status, time-out) or an unusable one
};

struct TUpdateResult {
    TUpdateAnswer Kind = TUpdateAnswer::Error;
    // The text of the box, complete and in the interface language of the moment the check
    // ended.
    QString Message;
    // What the service offered (NewVersion and Current).
    QString Version;
    QString Build;
    QUrl DownloadUrl; // NewVersion only: an absolute http or https address
};

class TUpdateCheck : public QObject {
    Q_OBJECT
public:
    explicit TUpdateCheck(QObject* parent = nullptr);
    ~TUpdateCheck() override;

    // Starts a check of `appVersion` and `appBuild` against the service at `service`
    // (scheme, host and port are used), with the current interface language. Returns
    // false, and does nothing, while a check is running: its answer is still to come.
    bool Start(const QUrl& service, const QString& appVersion, const QString& appBuild);
    bool IsRunning() const { return FReply != nullptr; }

    // Longest wait for the service to send anything; 30 seconds unless set.
    void SetTimeout(int milliseconds) { FTimeout = milliseconds; }

signals:
    void finished(const quillet::TUpdateResult& result);

private:
    void ReplyFinished();
    TUpdateResult Evaluate(QNetworkReply* reply) const;

    // Keeps the cookies of the service between its redirects and between checks.
    QNetworkAccessManager FManager;
    QPointer<QNetworkReply> FReply;
    QString FAppVersion;
    QString FAppBuild;
    int FTimeout = 30000;
};

// Shows the result in a message box over `parent`: the offer (information, Yes and No),
// the most recent version (information, OK), a plain failure notice, or the failure with
// its reason (warning). Returns true when the user accepted the offer: the download page
// has then been opened and the caller closes the program without asking.
bool ShowUpdateResult(QWidget* parent, const TUpdateResult& result);

} // namespace quillet

Q_DECLARE_METATYPE(quillet::TUpdateResult)
