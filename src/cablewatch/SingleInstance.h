#pragma once
// One Cablewatch per user and device tree: a copy started without an owner
// while another runs asks that one to come to the front and ends. The first
// copy answers on a local socket readable by its own user only.

#include <QObject>
#include <QString>

class QLocalServer;

namespace cablewatch {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(QString serverName, QObject* parent = nullptr);
    ~SingleInstance() override;

    // The name for this user; a tree other than the system's own (a test
    // tree, a saved one) gets a name of its own, so it does not stand in the
    // way of the real one.
    static QString DefaultServerName(const QString& treeRoot = QString());

    // True when a running copy took the request to come to the front.
    bool ActivateRunning(int timeoutMs = 1000);
    // Starts answering later copies. A socket left by a copy that died is
    // replaced; false when the name cannot be taken.
    bool Listen();
    bool IsListening() const;
    const QString& ServerName() const { return serverName_; }

signals:
    void activationRequested();

private:
    void OnNewConnection();

    QString serverName_;
    QLocalServer* server_ = nullptr;
};

}  // namespace cablewatch
