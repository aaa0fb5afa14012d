#include "link/LanHostList.h"

QStringList LanHostNames(const LinkState& state) {
    QStringList names;
    for (int i = 0; i < 8; ++i)
        if (!state.LanHosts[static_cast<size_t>(i)].host.isEmpty())
            names << state.LanHosts[static_cast<size_t>(i)].host;
    return names;
}

int AcceptLanHost(LinkState& state, const QString& host, qint32 typedPort) {
    for (int i = 0; i < 8; ++i)
        if (state.LanHosts[static_cast<size_t>(i)].host == host) return i + 1;
    for (int i = 7; i >= 1; --i)
        state.LanHosts[static_cast<size_t>(i)] = state.LanHosts[static_cast<size_t>(i - 1)];
    state.LanHosts[0] = {host, typedPort, 1};
    return 1;
}
