#include "sim/SimServer.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace {
constexpr qint64 kSocketHighWater = 1 << 20;  // keep at most 1 MB queued in the socket
constexpr qint64 kBurst = 256 * 1024;
}  // namespace

SimServer::SimServer(Instrument& instrument, QObject* parent)
    : QObject(parent), instrument_(instrument) {
    clock_.start();
    instrument_.SetClock(QDateTime::currentDateTime(), 0);
    timer_ = new QTimer(this);
    timer_->setInterval(5);
    connect(timer_, &QTimer::timeout, this, &SimServer::Pump);
    timer_->start();
}

SimServer::~SimServer() {
    if (ptyMaster_ >= 0) ::close(ptyMaster_);
    if (ptySlave_ >= 0) ::close(ptySlave_);
}

bool SimServer::ListenTcp(const QString& address, quint16 port, QString& error) {
    server_ = new QTcpServer(this);
    QHostAddress host(address);
    if (host.isNull()) {
        error = QStringLiteral("not an address: %1").arg(address);
        return false;
    }
    if (!server_->listen(host, port)) {
        error = server_->errorString();
        return false;
    }
    connect(server_, &QTcpServer::newConnection, this, &SimServer::OnNewConnection);
    return true;
}

quint16 SimServer::TcpPort() const {
    return server_ ? server_->serverPort() : 0;
}

void SimServer::OnNewConnection() {
    while (QTcpSocket* next = server_->nextPendingConnection()) {
        if (socket_) {
            socket_->abort();
            socket_->deleteLater();
        }
        instrument_.Disconnected();
        socket_ = next;
        socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        connect(socket_, &QTcpSocket::readyRead, this, &SimServer::OnTcpInput);
        connect(socket_, &QTcpSocket::bytesWritten, this, &SimServer::Pump);
        connect(socket_, &QTcpSocket::disconnected, this, [this, s = socket_] {
            if (socket_ == s) instrument_.Disconnected();
            s->deleteLater();
        });
    }
}

bool SimServer::OpenPty(QString& path, QString& error) {
    ptyMaster_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (ptyMaster_ < 0 || ::grantpt(ptyMaster_) != 0 || ::unlockpt(ptyMaster_) != 0) {
        error = QString::fromLocal8Bit(strerror(errno));
        return false;
    }
    const char* name = ::ptsname(ptyMaster_);
    if (!name) {
        error = QStringLiteral("no name for the pseudo-terminal");
        return false;
    }
    path = QString::fromLocal8Bit(name);
    // Hold the slave open ourselves: the line stays up between the program's
    // opens, and it starts raw (no echo, no CR translation) like a serial line.
    ptySlave_ = ::open(name, O_RDWR | O_NOCTTY);
    if (ptySlave_ >= 0) {
        termios raw{};
        if (::tcgetattr(ptySlave_, &raw) == 0) {
            ::cfmakeraw(&raw);
            ::cfsetispeed(&raw, B19200);
            ::cfsetospeed(&raw, B19200);
            ::tcsetattr(ptySlave_, TCSANOW, &raw);
        }
    }
    ptyRead_ = new QSocketNotifier(ptyMaster_, QSocketNotifier::Read, this);
    connect(ptyRead_, &QSocketNotifier::activated, this, &SimServer::OnPtyInput);
    ptyWrite_ = new QSocketNotifier(ptyMaster_, QSocketNotifier::Write, this);
    ptyWrite_->setEnabled(false);
    connect(ptyWrite_, &QSocketNotifier::activated, this, &SimServer::OnPtyWritable);
    return true;
}

namespace {
// The memory's file names, one TAB before each, as --verbose reports them.
QByteArray MemoryNames(const QList<SimFile>& files) {
    QByteArray names;
    for (const SimFile& file : files) names += '\t' + file.name;
    return names;
}
}  // namespace

void SimServer::Input(const QByteArray& bytes) {
    const QByteArray before = verbose_ ? MemoryNames(instrument_.Files()) : QByteArray();
    instrument_.Receive(bytes, clock_.elapsed());
    if (verbose_) {
        const QStringList& log = instrument_.CommandLog();
        for (; logged_ < log.size(); ++logged_)
            std::fprintf(stderr, "tr58sim: <- %s\n", qPrintable(log.at(logged_)));
        // A deletion is worth seeing as what the memory now holds: a test (or
        // a user) learns which files went without asking the instrument again.
        const QByteArray after = MemoryNames(instrument_.Files());
        if (after != before) std::fprintf(stderr, "tr58sim: files%s\n", after.constData());
    }
    Pump();
}

void SimServer::OnTcpInput() {
    if (socket_) Input(socket_->readAll());
}

void SimServer::OnPtyInput() {
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(ptyMaster_, buffer, sizeof buffer);
        if (n > 0) {
            Input(QByteArray(buffer, n));
            continue;
        }
        break;
    }
}

void SimServer::OnPtyWritable() {
    while (!ptyPending_.isEmpty()) {
        const ssize_t n = ::write(ptyMaster_, ptyPending_.constData(), ptyPending_.size());
        if (n <= 0) break;
        ptyPending_.remove(0, n);
    }
    ptyWrite_->setEnabled(!ptyPending_.isEmpty());
}

void SimServer::Drop() {
    if (socket_) socket_->abort();
    instrument_.Disconnected();
}

void SimServer::Pump() {
    const qint64 now = clock_.elapsed();
    instrument_.Tick(now);
    qint64 budget = kBurst;
    if (baud_ > 0) {
        credit_ = std::min(credit_ + (now - lastMs_) * baud_ / 10000.0, baud_ / 10.0);
        budget = static_cast<qint64>(credit_);
    }
    lastMs_ = now;
    if (budget <= 0 || !instrument_.HasOutput()) return;

    if (socket_ && socket_->state() == QAbstractSocket::ConnectedState) {
        if (socket_->bytesToWrite() > kSocketHighWater) return;
        const QByteArray out = instrument_.TakeOutput(now, budget);
        credit_ -= out.size();
        socket_->write(out);
        if (instrument_.ShouldDrop()) Drop();
    } else if (ptyMaster_ >= 0) {
        if (ptyPending_.size() > 64 * 1024) return;
        const QByteArray out = instrument_.TakeOutput(now, budget);
        credit_ -= out.size();
        ptyPending_ += out;
        OnPtyWritable();
    }
}
