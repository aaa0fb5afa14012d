// The device information dialog against every fault of the in-process
// instrument, on the virtual clock: it ends within the link's times, leaves
// the link idle, shows no refusal as if it were information, and says why
// whenever a field stays empty that the instrument should have filled.
#include "instrument/frmDeviceInformation.h"
#include "support/LinkTimeBounds.h"
#include "support/ProgramFixture.h"
#include "support/SimFaultRows.h"

namespace {

using namespace LinkTimeBounds;

const std::vector<SimFaultRow>& Rows() {
    static const std::vector<SimFaultRow> rows = SimFaultRows("VERS");
    return rows;
}

class DeviceInformationFaultsTest : public ProgramFixture,
                                    public ::testing::WithParamInterface<size_t> {};

TEST_P(DeviceInformationFaultsTest, EndsInTimeAndTellsTheTruth) {
    const SimFaultRow& row = Rows().at(GetParam());
    row.apply(instrument);
    const bool noProbe = instrument.Faults().noProbe;

    const qint64 start = pump.Milliseconds();
    frmDeviceInformation dialog(main->GetLink(), main.get());
    const bool loaded = dialog.Load();
    const double seconds = (pump.Milliseconds() - start) / 1000.0;
    SCOPED_TRACE(QStringLiteral("%1: %2 s, messages %3")
                     .arg(row.name)
                     .arg(seconds)
                     .arg(presenter.Keys().join(QLatin1String(", ")))
                     .toStdString());

    // VERS, SNUM and CAL on one opening.
    EXPECT_LE(seconds, Sequence(3, 0));
    const Link& link = main->GetLink();
    EXPECT_EQ(link.State().OpenPort, 0) << "the link is left open";
    EXPECT_FALSE(link.State().LinkBusy);
    EXPECT_EQ(link.State().icommand, Command::kNone);
    EXPECT_FALSE(link.IsCommunicating());

    const DeviceInformation& info = dialog.Information();
    for (const QString& field : {info.type, info.version, info.number, info.snumber, info.calib})
        EXPECT_FALSE(field.contains(QLatin1String("ERR"))) << qPrintable(field);
    // What the instrument holds, or nothing and a message.
    const bool whole = loaded && info.type == (noProbe ? "TR58" : "TR58 PT-5") &&
                       info.number == "T2640117" && info.calib == "2026-03-14" &&
                       info.snumber == (noProbe ? "" : "P5310862");
    if (!whole) {
        EXPECT_FALSE(presenter.shown.isEmpty()) << "information missing, and not a word";
    }
    if (loaded) {
        EXPECT_TRUE(info.type.isEmpty() || info.type.startsWith(QLatin1String("TR58")))
            << qPrintable(info.type);
    }
    if (std::string(row.name) == "none") {
        EXPECT_TRUE(whole);
        EXPECT_TRUE(presenter.shown.isEmpty());
    }
}

std::string CellName(const ::testing::TestParamInfo<size_t>& info) {
    std::string name = Rows().at(info.param).name;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Faults, DeviceInformationFaultsTest,
                         ::testing::Range<size_t>(0, Rows().size()), CellName);

}  // namespace
