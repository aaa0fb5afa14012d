// The file dialog against every fault of the in-process instrument, on the
// virtual clock: listing and downloading one file, downloading every file and
// deleting them afterwards, and deleting one file. Whatever the fault, the
// dialog ends within the link's times, leaves the link idle, opens no
// document that lacks points, says why when it did less than asked, and the
// instrument loses no file that is not in a whole document.
#include <QCheckBox>

#include "app/frmDocument.h"
#include "download/frmDownloadFiles.h"
#include "sim/SimFile.h"
#include "support/LinkTimeBounds.h"
#include "support/ProgramFixture.h"
#include "support/SimFaultRows.h"

namespace {

using namespace LinkTimeBounds;

enum class Scenario { DownloadOne, DownloadAllAndDelete, DeleteOne };
const char* const kScenarioNames[] = {"DownloadOne", "DownloadAllAndDelete", "DeleteOne"};

const QStringList kMemory = {"Lab 1:400:3", "Kylrum:900:8:X", "Lager:300:2:N"};

const std::vector<SimFaultRow>& Rows() {
    static const std::vector<SimFaultRow> rows = SimFaultRows("TIME");
    return rows;
}

class DownloadFaultsTest : public ProgramFixture,
                           public ::testing::WithParamInterface<std::tuple<size_t, Scenario>> {
protected:
    QStringList MemoryNames() {
        QStringList names;
        for (const SimFile& file : instrument.Files()) names << QString::fromLatin1(file.name);
        return names;
    }
};

TEST_P(DownloadFaultsTest, EndsInTimeAndTellsTheTruth) {
    const SimFaultRow& row = Rows().at(std::get<0>(GetParam()));
    const Scenario scenario = std::get<1>(GetParam());
    instrument.Files().clear();
    QMap<QString, qint32> lines;
    for (int i = 0; i < kMemory.size(); ++i) {
        SimFile file;
        QString error;
        ASSERT_TRUE(ParseSimFile(kMemory.at(i), i, file, error)) << qPrintable(error);
        instrument.Files() << file;
        lines.insert(QString::fromLatin1(file.name), file.lines);
    }
    const QStringList before = MemoryNames();
    row.apply(instrument);

    // The dialog lists the files (TIME, DIR: its own opening), then downloads
    // (one PLAY a file) and deletes (one DEL a file at most), each on an
    // opening of its own.
    double bound = Sequence(2, 0);
    const qint64 start = pump.Milliseconds();
    const bool deleteMode = scenario == Scenario::DeleteOne;
    frmDownloadFiles dialog(*main, deleteMode);
    // The user answers Yes to the delete question.
    dialog.deleteQuestion = [](const QString&) { return true; };
    const bool loaded = dialog.Load();
    bool done = false;
    if (loaded) {
        if (scenario == Scenario::DownloadAllAndDelete) {
            dialog.SelectFiles({0, 1, 2});
            dialog.chkDelete()->setChecked(true);
            bound += 2 * Sequence(0, 3);
            dialog.cmdDownload_Click();
            done = main->Documents().size() == 3 && instrument.Files().isEmpty();
        } else if (scenario == Scenario::DownloadOne) {
            dialog.SelectFiles({1});
            bound += Sequence(0, 1);
            dialog.cmdDownload_Click();
            done = main->Documents().size() == 1;
        } else {
            dialog.SelectFiles({1});
            bound += Sequence(0, 1);
            dialog.cmdDelete_Click();
            done = MemoryNames() == QStringList({before.at(0), before.at(2)});
        }
    }
    const double seconds = (pump.Milliseconds() - start) / 1000.0;
    SCOPED_TRACE(QStringLiteral("%1 x %2: %3 s, messages %4")
                     .arg(row.name, kScenarioNames[static_cast<int>(scenario)])
                     .arg(seconds)
                     .arg(presenter.Keys().join(QLatin1String(", ")))
                     .toStdString());

    EXPECT_LE(seconds, bound);
    const Link& link = main->GetLink();
    EXPECT_EQ(link.State().OpenPort, 0) << "the link is left open";
    EXPECT_FALSE(link.State().LinkBusy);
    EXPECT_EQ(link.State().icommand, Command::kNone);
    EXPECT_FALSE(link.IsCommunicating());

    QStringList whole;
    for (frmDocument* document : main->Documents()) {
        const QString name = document->Caption();
        EXPECT_EQ(document->Doc().PointCount(), lines.value(name, -1)) << qPrintable(name);
        if (document->Doc().PointCount() == lines.value(name, -1)) whole << name;
    }
    for (const QString& name : before) {
        if (MemoryNames().contains(name)) continue;
        const bool asked = deleteMode && name == before.at(1);
        EXPECT_TRUE(asked || whole.contains(name)) << qPrintable(name) << " deleted";
    }
    if (!done) {
        EXPECT_FALSE(presenter.shown.isEmpty()) << "less than asked, and not a word";
    }
    // Without a fault everything asked for is done, without a word.
    if (std::string(row.name) == "none") {
        EXPECT_TRUE(done);
        EXPECT_TRUE(presenter.shown.isEmpty());
    }
}

std::string CellName(const ::testing::TestParamInfo<std::tuple<size_t, Scenario>>& info) {
    std::string name = Rows().at(std::get<0>(info.param)).name;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name + "_" + kScenarioNames[static_cast<int>(std::get<1>(info.param))];
}

INSTANTIATE_TEST_SUITE_P(Faults, DownloadFaultsTest,
                         ::testing::Combine(::testing::Range<size_t>(0, Rows().size()),
                                            ::testing::Values(Scenario::DownloadOne,
                                                              Scenario::DownloadAllAndDelete,
                                                              Scenario::DeleteOne)),
                         CellName);

}  // namespace
