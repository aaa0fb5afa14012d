#include "cablewatch/DeviceStatus.h"

#include "cablewatch/CablewatchTexts.h"

namespace cablewatch {

bool ListedByDriver(const RegistryTree& tree, const QString& enumKey, const QString& rowKey) {
    for (const QString& name : tree.ValueNames(enumKey)) {
        const auto text = tree.StringValue(enumKey, name);
        if (text && text->compare(rowKey, Qt::CaseInsensitive) == 0) return true;
    }
    return false;
}

std::optional<DeviceState> EvaluateDevice(const RegistryTree& tree, const QString& rowKey) {
    const QString key = kEnumRoot + rowKey;
    if (!tree.KeyExists(key)) return std::nullopt;

    DeviceState state;
    state.status = Texts().statusNotPresent;
    state.icon = kIconNormal;
    state.ghosted = true;
    if (ListedByDriver(tree, kCurrentDriverEnum, rowKey)) {
        state.status = Texts().statusOk;
        state.icon = kIconNormal;
        state.ghosted = false;
    }
    if (ListedByDriver(tree, kObsoleteDriverEnum, rowKey)) {
        state.status = Texts().statusObsoleteDriver;
        state.icon = kIconDriverProblem;
        state.ghosted = false;
    }
    const auto configFlags = tree.Value(key, kConfigFlags);
    if (!configFlags) {
        state.status = Texts().statusDriverNotInstalled;
        state.icon = kIconDriverProblem;
    }
    const quint32 flags = tree.DwordValue(key, kConfigFlags).value_or(0);
    const quint32 disableCount =
        tree.DwordValue(key + QLatin1Char('\\') + kControlKey, kDisableCount).value_or(0);
    if ((flags & 1u) != 0 || disableCount != 0) {
        state.status = Texts().statusDisabled;
        state.icon = kIconDisabled;
    }
    state.portName = tree.StringValue(key + QLatin1Char('\\') + kDeviceParametersKey, kPortName);
    state.cableId = tree.KeyName(key);
    return state;
}

}  // namespace cablewatch
