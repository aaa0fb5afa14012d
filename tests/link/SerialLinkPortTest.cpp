// The serial port on a real pseudo-terminal through QSerialPort: a device
// that goes away, one this user may not open, one in use, and paths that are
// no serial device at all.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>

#include "link/SerialLinkPort.h"
#include "link/SerialPlatform.h"

namespace {

template <typename Done>
bool RunEventsUntil(Done done) {
    QDeadlineTimer deadline(10000);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

// A pseudo-terminal: the master stands for the instrument's end of the cable.
class Pty {
public:
    Pty() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0)
            path_ = QString::fromLocal8Bit(::ptsname(master_));
    }
    ~Pty() { CloseMaster(); }
    const QString& Path() const { return path_; }
    void CloseMaster() {
        if (master_ >= 0) ::close(master_);
        master_ = -1;
    }

private:
    int master_ = -1;
    QString path_;
};

PortTarget Device(const QString& path) {
    PortTarget target;
    target.number = 1;
    target.device = path;
    return target;
}

}  // namespace

TEST(SerialLinkPort, DeviceGoneIsALostConnection) {
    Pty pty;
    ASSERT_FALSE(pty.Path().isEmpty());
    SerialLinkPort port;
    int wakes = 0;
    port.SetReceiveHandler([&] { ++wakes; });
    ASSERT_EQ(port.Open(Device(pty.Path())), PortError::kNone);
    EXPECT_FALSE(port.ConnectionLost());

    pty.CloseMaster();  // the USB adapter pulled out
    ASSERT_TRUE(RunEventsUntil([&] { return port.ConnectionLost(); }));
    EXPECT_GE(wakes, 1);
    EXPECT_FALSE(port.ErrorText().isEmpty());
    EXPECT_FALSE(port.Write("DIR\r"));
}

TEST(SerialLinkPort, PortInUseAndPermissionDeniedAreTold) {
    Pty pty;
    ASSERT_FALSE(pty.Path().isEmpty());
    {
        // Another program holds the port (its lock): still "in use".
        SerialLinkPort holder;
        ASSERT_EQ(holder.Open(Device(pty.Path())), PortError::kNone);
        SerialLinkPort second;
        EXPECT_EQ(second.Open(Device(pty.Path())), PortError::kPortInUse);
    }

    // The device belongs to a group this user is not in: run the open as a
    // user the device shuts out.
    const QByteArray path = QFile::encodeName(pty.Path());
    ASSERT_EQ(::chmod(path.constData(), 0600), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::geteuid() == 0) {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(3);
        } else if (::chmod(path.constData(), 0) != 0) {
            ::_exit(4);
        }
        SerialLinkPort port;
        const int error = port.Open(Device(pty.Path()));
        ::_exit(error == PortError::kPermissionDenied ? 0 : error == PortError::kPortInUse ? 1 : 2);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: reported as in use";
}

TEST(SerialLinkPort, PathsThatAreNoSerialDeviceSayWhatTheSystemSaid) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString file = folder.filePath(QStringLiteral("notes.txt"));
    QFile plain(file);
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.write("hello\n");
    plain.close();

    SerialLinkPort port;
    for (const QString& path : {file, QStringLiteral("/dev/null"), folder.path()}) {
        EXPECT_EQ(port.Open(Device(path)), PortError::kOther) << qPrintable(path);
        EXPECT_TRUE(port.ErrorText().contains(QLatin1String("not a serial device")))
            << qPrintable(port.ErrorText());
        EXPECT_FALSE(port.IsOpen());
    }
    EXPECT_TRUE(port.ErrorText().contains(QLatin1String("folder")));
}

TEST(SerialPlatform, DriverOutputQueueCountsBytesNotYetTaken) {
    // A descriptor whose far end has not read yet holds the bytes in the
    // system's queue, as a serial driver does until they are on the line.
    int pair[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
    EXPECT_EQ(SerialPlatform::DriverOutputQueue(pair[0]), 0);
    ASSERT_EQ(::write(pair[0], "EXIT\r", 5), 5);
    EXPECT_GT(SerialPlatform::DriverOutputQueue(pair[0]), 0);
    char buffer[16];
    ASSERT_EQ(::read(pair[1], buffer, sizeof buffer), 5);
    EXPECT_EQ(SerialPlatform::DriverOutputQueue(pair[0]), 0);
    EXPECT_EQ(SerialPlatform::DriverOutputQueue(-1), 0);
    ::close(pair[0]);
    ::close(pair[1]);
}
