#pragma once
// The list of recently used LAN hosts (eight, the most recent first) and what
// accepting the LAN dialog does to it.

#include <QStringList>
#include <array>

#include "link/LinkState.h"

// The hosts the dialog lists, in order (entries with a host).
QStringList LanHostNames(const LinkState& state);

// Accepting host with the port typed: a known host (exact match) keeps its
// entry and its stored port; a new one goes to the top with that port and the
// oldest of eight is dropped. Returns the 1-based entry to use.
int AcceptLanHost(LinkState& state, const QString& host, qint32 typedPort);
