// SPDX-License-Identifier: GPL-2.0-or-later
#include "InstanceChannel.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>

namespace quillet {

TInstanceChannel::TInstanceChannel(QString name, QObject* parent)
    : QObject(parent), FName(std::move(name)) {}

QString TInstanceChannel::DefaultName() {
    // A path names a socket file, a plain name a socket in the temporary folder (on
    // Windows, a named pipe); the user's name keeps users of one machine apart there.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir())
        return QDir(runtime).filePath(QStringLiteral("quillet-dictionary.socket"));
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = qEnvironmentVariable("USERNAME");
    return QStringLiteral("quillet-dictionary-") + user;
}

bool TInstanceChannel::Listen() {
    if (FServer)
        return FServer->isListening();
    FServer = new QLocalServer(this);
    FServer->setSocketOptions(QLocalServer::UserAccessOption);
    connect(FServer, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = FServer->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
                const QString word = QString::fromUtf8(socket->readAll());
                socket->deleteLater();
                emit lookupRequested(word);
            });
        }
    });
    if (FServer->listen(FName))
        return true;
    // The socket of a copy that crashed: this copy holds the guard, so nobody listens there.
    QLocalServer::removeServer(FName);
    return FServer->listen(FName);
}

bool TInstanceChannel::Send(const QString& word, const QString& name, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(word.toUtf8());
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    socket.disconnectFromServer();
    return socket.state() == QLocalSocket::UnconnectedState ||
           socket.waitForDisconnected(timeoutMs);
}

} // namespace quillet
