#include <gtest/gtest.h>

#include "cablewatch/CablewatchTexts.h"
#include "cablewatch/DeviceStatus.h"

using namespace cablewatch;

namespace {

const QString kRow = QStringLiteral("USB\\Vid_2A6F&Pid_0200\\CW001");
const QString kKey = kEnumRoot + kRow;

RegistryTree Installed() {
    RegistryTree tree;
    tree.SetDword(kKey, kConfigFlags, 0);
    tree.SetString(kKey + QStringLiteral("\\Device Parameters"), kPortName, QStringLiteral("COM4"));
    return tree;
}

void List(RegistryTree& tree, const QString& enumKey, const QString& entry) {
    tree.SetString(enumKey, QStringLiteral("0"), entry);
    tree.SetDword(enumKey, QStringLiteral("Count"), 1);
}

}  // namespace

TEST(DeviceStatus, InstalledButNotListedIsNotPresentAndGhosted) {
    const auto state = EvaluateDevice(Installed(), kRow);
    ASSERT_TRUE(state);
    EXPECT_EQ(state->status, QStringLiteral("Not present"));
    EXPECT_EQ(state->icon, 1);
    EXPECT_TRUE(state->ghosted);
    EXPECT_EQ(state->portName, QStringLiteral("COM4"));
    EXPECT_EQ(state->cableId, QStringLiteral("CW001"));
}

TEST(DeviceStatus, ListedByTheCurrentDriverIsOkWhateverTheCase) {
    RegistryTree tree = Installed();
    List(tree, kCurrentDriverEnum, QStringLiteral("usb\\VID_2A6F&PID_0200\\cw001"));
    const auto state = EvaluateDevice(tree, kRow);
    EXPECT_EQ(state->status, QStringLiteral("OK"));
    EXPECT_EQ(state->icon, 1);
    EXPECT_FALSE(state->ghosted);
}

TEST(DeviceStatus, AnotherCableInTheDriversListDoesNotCount) {
    RegistryTree tree = Installed();
    List(tree, kCurrentDriverEnum, QStringLiteral("USB\\VID_2A6F&PID_0200\\CW0012"));
    EXPECT_EQ(EvaluateDevice(tree, kRow)->status, QStringLiteral("Not present"));
}

TEST(DeviceStatus, ObsoleteDriverWinsOverTheCurrentOne) {
    RegistryTree tree = Installed();
    List(tree, kCurrentDriverEnum, kRow);
    List(tree, kObsoleteDriverEnum, kRow);
    const auto state = EvaluateDevice(tree, kRow);
    EXPECT_EQ(state->status, QStringLiteral("Obsolete driver"));
    EXPECT_EQ(state->icon, 3);
    EXPECT_FALSE(state->ghosted);
}

TEST(DeviceStatus, MissingConfigFlagsMeansDriverNotInstalledAndKeepsGhosting) {
    RegistryTree absent;
    absent.CreateKey(kKey);
    auto state = EvaluateDevice(absent, kRow);
    EXPECT_EQ(state->status, QStringLiteral("Driver not installed"));
    EXPECT_EQ(state->icon, 3);
    EXPECT_TRUE(state->ghosted);
    EXPECT_FALSE(state->portName.has_value());

    RegistryTree listed;
    listed.CreateKey(kKey);
    List(listed, kCurrentDriverEnum, kRow);
    state = EvaluateDevice(listed, kRow);
    EXPECT_EQ(state->status, QStringLiteral("Driver not installed"));
    EXPECT_FALSE(state->ghosted);
}

TEST(DeviceStatus, DisabledByConfigFlagsBitZeroOrDisableCount) {
    RegistryTree flags = Installed();
    flags.SetDword(kKey, kConfigFlags, 0x401);
    List(flags, kObsoleteDriverEnum, kRow);
    auto state = EvaluateDevice(flags, kRow);
    EXPECT_EQ(state->status, QStringLiteral("Disabled"));
    EXPECT_EQ(state->icon, 2);
    EXPECT_FALSE(state->ghosted);

    RegistryTree count;
    count.CreateKey(kKey);  // no ConfigFlags: disabled still wins
    count.SetDword(kKey + QStringLiteral("\\Control"), kDisableCount, 3);
    state = EvaluateDevice(count, kRow);
    EXPECT_EQ(state->status, QStringLiteral("Disabled"));
    EXPECT_EQ(state->icon, 2);
    EXPECT_TRUE(state->ghosted);
}

TEST(DeviceStatus, OtherConfigFlagBitsAndZeroDisableCountAreNotDisabled) {
    RegistryTree tree = Installed();
    tree.SetDword(kKey, kConfigFlags, 0x400);
    tree.SetDword(kKey + QStringLiteral("\\Control"), kDisableCount, 0);
    EXPECT_EQ(EvaluateDevice(tree, kRow)->status, QStringLiteral("Not present"));
}

TEST(DeviceStatus, MissingKeyGivesNoState) {
    EXPECT_FALSE(EvaluateDevice(Installed(), QStringLiteral("USB\\Vid_2A6F&Pid_0200\\OTHER")));
}
