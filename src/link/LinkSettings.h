#pragma once
// The link's values in the settings store, and the real-time poll interval.

#include <QtGlobal>

class SettingsStore;
struct LinkState;

// The link's part of the settings: "Port", "Auto", the LAN hosts "1IP".."8IP"
// and "1IPort".."8IPort", and "LastIP" (0: serial; 1..8: that LAN host; any
// other value reads as 0). A LAN selection turns detection off and makes port
// 17 the configured one.
void LoadLinkSettings(const SettingsStore& store, LinkState& state);
// Writes "Port" and "Auto" (what choosing a port stores at once).
void SavePortChoice(SettingsStore& store, const LinkState& state);
// Writes "Port", "Auto", the eight LAN hosts and "LastIP".
void SaveLinkSettings(SettingsStore& store, const LinkState& state);
// "LastInterval" and "LastIntervalType", written when the real-time settings are confirmed.
void SaveRealTimeInterval(SettingsStore& store, qint32 seconds, qint16 unit);
