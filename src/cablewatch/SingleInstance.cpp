#include "cablewatch/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QRegularExpression>

namespace cablewatch {

namespace {

const QByteArray kActivate = QByteArrayLiteral("activate\n");

}  // namespace

SingleInstance::SingleInstance(QString serverName, QObject* parent)
    : QObject(parent), serverName_(std::move(serverName)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::DefaultServerName(const QString& treeRoot) {
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty()) user = qEnvironmentVariable("USERNAME");
    static const QRegularExpression kUnsafe(QStringLiteral("[^A-Za-z0-9_.-]"));
    user.replace(kUnsafe, QStringLiteral("_"));
    QString name = QStringLiteral("tr58-cablewatch-") + user;
    if (!treeRoot.isEmpty()) {
        const QString canonical = QFileInfo(treeRoot).canonicalFilePath();
        const QString root = canonical.isEmpty() ? QDir::cleanPath(treeRoot) : canonical;
        if (root != QLatin1String("/sys")) {
            const QByteArray hash =
                QCryptographicHash::hash(root.toUtf8(), QCryptographicHash::Sha1).toHex();
            name += QLatin1Char('-') + QString::fromLatin1(hash.left(12));
        }
    }
    return name;
}

bool SingleInstance::ActivateRunning(int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(serverName_);
    if (!socket.waitForConnected(timeoutMs)) return false;
    socket.write(kActivate);
    while (socket.bytesToWrite() > 0)
        if (!socket.waitForBytesWritten(timeoutMs)) return false;
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::IsListening() const {
    return server_ && server_->isListening();
}

bool SingleInstance::Listen() {
    if (IsListening()) return true;
    if (!server_) {
        server_ = new QLocalServer(this);
        server_->setSocketOptions(QLocalServer::UserAccessOption);
        connect(server_, &QLocalServer::newConnection, this, &SingleInstance::OnNewConnection);
    }
    // A live copy keeps its name: listening with access options replaces an
    // existing socket file, so ask first whether anyone answers on it.
    {
        QLocalSocket probe;
        probe.connectToServer(serverName_);
        if (probe.waitForConnected(200)) return false;
    }
    if (server_->listen(serverName_)) return true;
    if (server_->serverError() != QAbstractSocket::AddressInUseError) return false;
    // Nobody answered: the socket file was left by a copy that died.
    QLocalServer::removeServer(serverName_);
    return server_->listen(serverName_);
}

void SingleInstance::OnNewConnection() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        auto readRequest = [this, socket] {
            // The request is one short line; anything longer is not ours.
            if (socket->bytesAvailable() > 64) {
                socket->abort();
                return;
            }
            if (!socket->canReadLine()) return;
            const QByteArray line = socket->readLine(64);
            if (line == kActivate) emit activationRequested();
            socket->disconnectFromServer();
        };
        connect(socket, &QLocalSocket::readyRead, this, readRequest);
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (socket->bytesAvailable() > 0) readRequest();
    }
}

}  // namespace cablewatch
