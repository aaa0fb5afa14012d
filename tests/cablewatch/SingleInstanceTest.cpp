#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>

#include "cablewatch/SingleInstance.h"

using namespace cablewatch;

namespace {

QString UniqueName(const char* what) {
    return QStringLiteral("cablewatch-test-%1-%2")
        .arg(what)
        .arg(QCoreApplication::applicationPid());
}

template <typename Done>
bool WaitFor(Done done, int ms = 3000) {
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

}  // namespace

TEST(SingleInstance, SecondCopyAsksTheFirstToComeToTheFront) {
    const QString name = UniqueName("second");
    SingleInstance first(name);
    ASSERT_TRUE(first.Listen());
    int activations = 0;
    QObject::connect(&first, &SingleInstance::activationRequested, [&] { ++activations; });

    SingleInstance second(name);
    EXPECT_TRUE(second.ActivateRunning());
    EXPECT_TRUE(WaitFor([&] { return activations == 1; }));
    // The second copy cannot take the name while the first holds it.
    EXPECT_FALSE(second.Listen());
    EXPECT_TRUE(first.IsListening());
}

TEST(SingleInstance, NoRunningCopyMeansStartNormally) {
    SingleInstance only(UniqueName("alone"));
    EXPECT_FALSE(only.ActivateRunning(300));
    EXPECT_TRUE(only.Listen());
}

TEST(SingleInstance, SocketLeftByACopyThatDiedIsReplaced) {
    const QString name = UniqueName("stale");
    const QString path = QDir::tempPath() + QLatin1Char('/') + name;
    QFile stale(path);  // a file nobody answers on
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();
    SingleInstance copy(name);
    EXPECT_FALSE(copy.ActivateRunning(300));
    EXPECT_TRUE(copy.Listen());
    SingleInstance later(name);
    EXPECT_TRUE(later.ActivateRunning());
}

TEST(SingleInstance, OtherMessagesAreIgnored) {
    const QString name = UniqueName("noise");
    SingleInstance first(name);
    ASSERT_TRUE(first.Listen());
    int activations = 0;
    QObject::connect(&first, &SingleInstance::activationRequested, [&] { ++activations; });
    QLocalSocket socket;
    socket.connectToServer(name);
    ASSERT_TRUE(socket.waitForConnected(1000));
    socket.write(QByteArray(200, 'x'));
    socket.flush();
    WaitFor([&] { return socket.state() == QLocalSocket::UnconnectedState; }, 1000);
    EXPECT_EQ(activations, 0);
}

TEST(SingleInstance, NamesArePerUserAndPerTree) {
    const QString system = SingleInstance::DefaultServerName();
    EXPECT_TRUE(system.startsWith(QStringLiteral("tr58-cablewatch-")));
    EXPECT_EQ(SingleInstance::DefaultServerName(QStringLiteral("/sys")), system);
    const QString a = SingleInstance::DefaultServerName(QStringLiteral("/tmp/tree-a"));
    EXPECT_NE(a, system);
    EXPECT_EQ(a, SingleInstance::DefaultServerName(QStringLiteral("/tmp/tree-a/")));
    EXPECT_NE(a, SingleInstance::DefaultServerName(QStringLiteral("/tmp/tree-b")));
    EXPECT_FALSE(a.contains(QLatin1Char('/')));
}
