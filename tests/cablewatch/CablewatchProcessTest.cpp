// The cablewatch program itself, started as a user would start it.
#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include "FakeSysfs.h"
#include "cablewatch/CablewatchTexts.h"
#include "cablewatch/RegistryTree.h"
#include "cablewatch/SingleInstance.h"

using namespace cablewatch;

namespace {

class CablewatchProcess : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        sys_ = std::make_unique<FakeSysfs>(dir_.path() + QStringLiteral("/sys"));
        FakeCable cable;
        cable.serial = QStringLiteral("CW0001");
        sys_->AddCable(cable);
        env_ = QProcessEnvironment::systemEnvironment();
        env_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env_.insert(QStringLiteral("CABLEWATCH_SYSFS"), sys_->Root());
        // The program's own data (the cables it has seen) stays in the test folder.
        env_.insert(QStringLiteral("XDG_DATA_HOME"), dir_.path() + QStringLiteral("/data"));
        env_.insert(QStringLiteral("XDG_CONFIG_HOME"), dir_.path() + QStringLiteral("/config"));
        env_.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime_.path());
    }

    void TearDown() override {
        for (QProcess* process : started_) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished(5000);
            }
            delete process;
        }
    }

    QProcess* Start(const QStringList& args) {
        auto* process = new QProcess;
        started_ << process;
        process->setProcessEnvironment(env_);
        process->start(QStringLiteral(CABLEWATCH_EXE), args);
        EXPECT_TRUE(process->waitForStarted(5000));
        return process;
    }

    // Waits until the first copy answers on its single-instance socket.
    bool WaitUntilListening() {
        const QString name = SingleInstance::DefaultServerName(sys_->Root());
        QDeadlineTimer deadline(15000);
        while (!deadline.hasExpired()) {
            QLocalSocket probe;
            probe.connectToServer(name);
            if (probe.waitForConnected(200)) return true;
            QThread::msleep(100);
        }
        return false;
    }

    QTemporaryDir dir_;
    QTemporaryDir runtime_;
    std::unique_ptr<FakeSysfs> sys_;
    QProcessEnvironment env_;
    QList<QProcess*> started_;
};

}  // namespace

TEST_F(CablewatchProcess, SecondCopyWithoutOwnerHandsOverToTheFirstAndEnds) {
    QProcess* first = Start({});
    ASSERT_TRUE(WaitUntilListening()) << first->readAllStandardError().toStdString();
    QProcess* second = Start({QStringLiteral("COM1")});
    ASSERT_TRUE(second->waitForFinished(10000));
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_EQ(first->state(), QProcess::Running);

    // A port picker is its own copy even while another runs.
    QProcess* picker = Start({QStringLiteral("/W:12345"), QStringLiteral("COM1")});
    EXPECT_FALSE(picker->waitForFinished(1500));
    EXPECT_EQ(picker->state(), QProcess::Running);
}

TEST_F(CablewatchProcess, HelpDocumentsTheReplyAndDumpCapturesTheTree) {
    QProcess* help = Start({QStringLiteral("--help")});
    ASSERT_TRUE(help->waitForFinished(10000));
    EXPECT_EQ(help->exitCode(), 0);
    const QString usage = QString::fromLocal8Bit(help->readAllStandardOutput());
    EXPECT_TRUE(usage.contains(QStringLiteral("cablewatch-owner-<handle>")));

    const QString out = dir_.path() + QStringLiteral("/captured");
    QProcess* dump = Start({QStringLiteral("--dump-registry=") + out});
    ASSERT_TRUE(dump->waitForFinished(10000));
    EXPECT_EQ(dump->exitCode(), 0);
    const RegistryTree tree = RegistryTree::LoadFromDirectory(out);
    EXPECT_EQ(tree.SubKeyNames(kEnumRoot + kDeviceFolder), QStringList{QStringLiteral("CW0001")});
    EXPECT_EQ(
        tree.StringValue(kEnumRoot + kDeviceKeyPrefix + QStringLiteral("CW0001\\Device Parameters"),
                         kPortName),
        QStringLiteral("COM1"));

    // Regression: a dump that failed ended with status 1 and no word.
    QProcess* unreadable =
        Start({QStringLiteral("--dump-registry=") + out, QStringLiteral("--sysfs=") + out + "/no"});
    ASSERT_TRUE(unreadable->waitForFinished(10000));
    EXPECT_EQ(unreadable->exitCode(), 1);
    EXPECT_TRUE(QString::fromLocal8Bit(unreadable->readAllStandardError()).contains(out + "/no"));
    QFile file(dir_.path() + QStringLiteral("/a-file"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    QProcess* unwritable = Start({QStringLiteral("--dump-registry=") + file.fileName() + "/x"});
    ASSERT_TRUE(unwritable->waitForFinished(10000));
    EXPECT_EQ(unwritable->exitCode(), 1);
    EXPECT_TRUE(QString::fromLocal8Bit(unwritable->readAllStandardError())
                    .contains(file.fileName() + "/x"));
}
