// Real-time recordings that did not end normally, offered back at start-up: the
// restored window keeps its journal until its readings are saved as a .t58
// file or the window is closed on purpose.
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "app/frmDocument.h"
#include "base/StringIds.h"
#include "base/StringTable.h"
#include "document/DocumentFiles.h"
#include "realtime/RecordingJournal.h"
#include "support/ProgramFixture.h"

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class RestoredRecordingTest : public ProgramFixture {
protected:
    // The program's journals go under the home folder in test mode: a home of
    // the test's own.
    void SetUp() override {
        oldHome_ = qgetenv("HOME");
        qputenv("HOME", home.path().toLocal8Bit());
    }
    void TearDown() override {
        main.reset();
        qputenv("HOME", oldHome_);
    }

    // What a program killed while recording leaves: a journal no one holds.
    QString LeaveJournal() {
        Document live;
        live.SetQuantityCount(2);
        live.Property(QStringLiteral("\tT\tRH"));
        live.Unit(QStringLiteral("\tC\t%RH"));
        live.IntervalUnit = 2;
        live.IntervalValue = 5;
        for (int i = 0; i < 7; ++i)
            live.MeasToStruct(QStringLiteral("26-11-03 08:00:%1\t4.%2\t8%2")
                                  .arg(i * 5, 2, 10, QLatin1Char('0'))
                                  .arg(i));
        live.Quantity(0).Decimals = 1;
        live.Quantity(1).Decimals = 0;
        EXPECT_TRUE(SaveDocumentFile(live, home.filePath("normal.t58"), DocumentFileType::T58));
        const QString path = NewJournalPath();
        RecordingJournal journal;
        EXPECT_TRUE(journal.Begin(path, live));
        journal.Close();
        return path;
    }
    frmDocument* OnlyDocument() const {
        const QList<frmDocument*> documents = main->Documents();
        return documents.size() == 1 ? documents.first() : nullptr;
    }

    QTemporaryDir home;

private:
    QByteArray oldHome_;
};

}  // namespace

TEST_F(RestoredRecordingTest, ARestoredRecordingKeepsItsJournalUntilSaved) {
    const QString journal = LeaveJournal();
    main->RestoreUnfinishedRecordings();
    ASSERT_EQ(presenter.Keys(), QStringList{"Journal Restore"});
    EXPECT_TRUE(presenter.shown.first().yesNo);
    EXPECT_TRUE(presenter.shown.first().text.startsWith(
        StringTable::Text(Str::kJournalRestoreQuestion).section(u'%', 0, 0) + u'7'))
        << qPrintable(presenter.shown.first().text);
    frmDocument* document = OnlyDocument();
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(document->Caption(), StringTable::Text(Str::kUntitled));
    EXPECT_EQ(document->Doc().PointCount(), 7);
    EXPECT_EQ(document->Doc().iSaved, Saved::kNever);
    EXPECT_FALSE(document->Doc().bRealTime);
    EXPECT_EQ(document->Doc().Info.RecordingKind, StringTable::Text(Str::kRealTimeData));
    ASSERT_NE(document->Journal(), nullptr);
    EXPECT_TRUE(UnfinishedJournals().isEmpty()) << "held by the window that shows it";

    // An export, or a save while the window still polls, leaves readings in no .t58 file.
    dialogs.saveFileName = [&](const QString& proposed, int& filter) {
        EXPECT_EQ(proposed, StringTable::Text(Str::kUntitled));
        filter = 1;
        return home.filePath("export.csv");
    };
    ASSERT_TRUE(main->FileSaveAs(*document));
    EXPECT_TRUE(QFile::exists(journal));
    document->Doc().bRealTime = true;
    dialogs.saveFileName = [&](const QString&, int&) { return home.filePath("saved.t58"); };
    ASSERT_TRUE(main->FileSave(*document));
    EXPECT_TRUE(QFile::exists(journal));

    document->Doc().bRealTime = false;
    ASSERT_TRUE(main->FileSave(*document));
    EXPECT_FALSE(QFile::exists(journal));
    EXPECT_FALSE(QFile::exists(JournalLockPath(journal)));
    EXPECT_EQ(document->Journal(), nullptr);
    EXPECT_EQ(ReadAll(home.filePath("saved.t58")), ReadAll(home.filePath("normal.t58")));
}

TEST_F(RestoredRecordingTest, ACancelledCloseKeepsTheJournalAndADeliberateOneRemovesIt) {
    const QString journal = LeaveJournal();
    main->RestoreUnfinishedRecordings();
    ASSERT_NE(OnlyDocument(), nullptr);
    QMdiSubWindow* window = main->MdiArea()->subWindowList().first();
    dialogs.askSave = [](const QString&) { return QMessageBox::Cancel; };
    window->close();
    ASSERT_NE(OnlyDocument(), nullptr);
    EXPECT_TRUE(QFile::exists(journal));

    dialogs.askSave = [](const QString&) { return QMessageBox::No; };
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(main->Documents().isEmpty());
    EXPECT_FALSE(QFile::exists(journal));
}

TEST_F(RestoredRecordingTest, TheProgramEndingWithoutACloseKeepsTheJournal) {
    const QString journal = LeaveJournal();
    main->RestoreUnfinishedRecordings();
    ASSERT_NE(OnlyDocument(), nullptr);
    main.reset();  // the windows go without being closed: nothing was decided
    EXPECT_TRUE(QFile::exists(journal));
    EXPECT_EQ(UnfinishedJournals(), QStringList{journal});
}

TEST_F(RestoredRecordingTest, NotRestoredIsKeptUnlessTheUserDeletesIt) {
    const QString journal = LeaveJournal();
    presenter.answers = {false, false};
    main->RestoreUnfinishedRecordings();
    EXPECT_EQ(presenter.Keys(), (QStringList{"Journal Restore", "Journal Delete"}));
    EXPECT_TRUE(main->Documents().isEmpty());
    EXPECT_EQ(UnfinishedJournals(), QStringList{journal}) << "offered again at the next start";

    presenter.answers = {false, true};
    main->RestoreUnfinishedRecordings();
    EXPECT_FALSE(QFile::exists(journal));
    EXPECT_TRUE(UnfinishedJournals().isEmpty());
}

TEST_F(RestoredRecordingTest, AJournalThatCannotBeReadIsNamedAndLeftOnDisk) {
    ASSERT_TRUE(QDir().mkpath(JournalFolder()));
    const QString path = QDir(JournalFolder()).filePath("future.t58.part");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("TR58-JOURNAL 9\nQ\tfrom a later version\n");
    }
    main->RestoreUnfinishedRecordings();
    ASSERT_EQ(presenter.Keys(), QStringList{"Journal Unreadable"});
    EXPECT_FALSE(presenter.shown.first().yesNo);
    EXPECT_TRUE(presenter.shown.first().text.contains(QDir::toNativeSeparators(path)));
    EXPECT_TRUE(presenter.shown.first().text.contains(
        StringTable::Text(Str::kJournalUnknownVersion).arg("9")));
    EXPECT_TRUE(main->Documents().isEmpty());
    EXPECT_TRUE(QFile::exists(path));
}
