#pragma once
// Getting bytes onto the disk itself, not only into the system's cache: what
// a real-time recording needs so that a power cut or a closed laptop lid does
// not take back readings already received. Everything system-specific of it
// lives here.

#include <QString>
#include <QtGlobal>

namespace DiskPlatform {

// Waits until everything written to the open file descriptor handle is on the
// disk (fsync); false when the system reports a failure.
bool SyncFile(int handle);

// Makes a file created or renamed in folder part of the folder on the disk, so
// that the file is still found after a power cut. Nothing where the system
// does this by itself.
void SyncFolder(const QString& folder);

}  // namespace DiskPlatform
