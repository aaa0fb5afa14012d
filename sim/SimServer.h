#pragma once
// Serves one simulated instrument on the real clock: over TCP (a LAN-attached
// instrument) and on a pseudo-terminal (a serial one). One line is served at a
// time; a new TCP connection replaces the previous one, as with a real
// instrument's single port.

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>

#include "sim/Instrument.h"

class QSocketNotifier;
class QTcpServer;
class QTcpSocket;
class QTimer;

class SimServer : public QObject {
    Q_OBJECT
public:
    explicit SimServer(Instrument& instrument, QObject* parent = nullptr);
    ~SimServer() override;

    // Line speed of the replies; 0 = as fast as the channel takes them.
    void SetBaud(int baud) { baud_ = baud; }
    // Print every command line received on standard error.
    void SetVerbose(bool verbose) { verbose_ = verbose; }

    bool ListenTcp(const QString& address, quint16 port, QString& error);
    quint16 TcpPort() const;
    // Opens a pseudo-terminal; its device path (for the program) in path.
    bool OpenPty(QString& path, QString& error);

private:
    void OnNewConnection();
    void OnTcpInput();
    void OnPtyInput();
    void OnPtyWritable();
    void Pump();
    void Input(const QByteArray& bytes);
    void Drop();

    Instrument& instrument_;
    QTcpServer* server_ = nullptr;
    QPointer<QTcpSocket> socket_;
    int ptyMaster_ = -1;
    int ptySlave_ = -1;
    QSocketNotifier* ptyRead_ = nullptr;
    QSocketNotifier* ptyWrite_ = nullptr;
    QByteArray ptyPending_;
    QTimer* timer_ = nullptr;
    QElapsedTimer clock_;
    int baud_ = 0;
    double credit_ = 0;
    qint64 lastMs_ = 0;
    bool verbose_ = false;
    int logged_ = 0;
};
