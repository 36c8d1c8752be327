// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

// The running program's ear for later starts: `quillet-dictionary --lookup WORD` started
// while a copy runs (a desktop shortcut, where no global hotkey exists) hands the word to
// that copy and ends, instead of starting a second window.
//
// Only the copy that holds the single-instance guard listens, so a socket left behind by a
// crashed copy can be taken over safely. The peer sends the word in UTF-8 and closes the
// connection. UI thread only.
namespace quillet {

class TInstanceChannel : public QObject {
    Q_OBJECT
public:
    // `name`: the socket; by default one per user (in $XDG_RUNTIME_DIR where there is one).
    explicit TInstanceChannel(QString name = DefaultName(), QObject* parent = nullptr);

    // Starts listening; false when the socket cannot be made (no later start can reach
    // this copy then, which still runs).
    bool Listen();

    // Hands `word` to the copy listening on `name`; false when none answers within
    // `timeoutMs`.
    static bool Send(const QString& word, const QString& name = DefaultName(),
                     int timeoutMs = 3000);
    static QString DefaultName();

signals:
    // A later start asked for this word to be looked up.
    void lookupRequested(const QString& word);

private:
    QString FName;
    QLocalServer* FServer = nullptr;
};

} // namespace quillet
