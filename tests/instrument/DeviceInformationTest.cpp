// Device information against the in-process instrument: the progress bar.
#include <gtest/gtest.h>

#include "instrument/DeviceInformation.h"
#include "link/LinkFixture.h"

// Regression: the bar was full while "CAL" and the closing of the line were
// still to come, some five seconds before the dialog could show anything.
TEST_F(LinkFixture, TheDeviceInformationBarIsFullOnlyWhenAllIsRead) {
    CommunicationProgress& progress = link.Progress();
    QStringList sentWhenFull;
    bool full = false;
    progress.onChange = [&] {
        if (full || !progress.IsLoaded() || progress.Value() < progress.Maximum()) return;
        full = true;
        sentWhenFull = instrument.CommandLog();
    };
    const DeviceInformation info = ReadDeviceInformation(link);
    progress.onChange = nullptr;
    ASSERT_TRUE(info.versRead);
    ASSERT_TRUE(full);
    EXPECT_EQ(progress.Maximum(), 3);
    EXPECT_TRUE(sentWhenFull.contains(QStringLiteral("CAL")));
    EXPECT_EQ(sentWhenFull.last(), QStringLiteral("EXIT")) << "the line is closed by then";
}
