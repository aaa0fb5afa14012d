#pragma once
// The keys of the message catalogue: fixed English names a failure is known
// by, never shown themselves. A failure names its message by one of these
// constants, so a key the catalogue does not know cannot be written.

#include <QString>

namespace MessageKeys {
inline const QString kAllReserved = QStringLiteral("All reserved");
inline const QString kCannotAutodetect = QStringLiteral("Cannot autodetect indicator");
inline const QString kCannotChange = QStringLiteral("Cannot Change");
inline const QString kCannotDetect = QStringLiteral("Cannot detect");
inline const QString kCannotDownload = QStringLiteral("Cannot download");
inline const QString kCannotOpenPort = QStringLiteral("Cannot Open Port");
inline const QString kCannotPrint = QStringLiteral("Cannot Print");
inline const QString kCannotSavefile = QStringLiteral("Cannot Savefile");
inline const QString kChangeSettings = QStringLiteral("Change Settings");
inline const QString kCommunicationErrors = QStringLiteral("Communication Errors");
inline const QString kEofDisconnected = QStringLiteral("EOF Disconnected");
inline const QString kFileDeleted = QStringLiteral("File Deleted");
inline const QString kFileError = QStringLiteral("File Error");
inline const QString kFileIsFolder = QStringLiteral("File Is Folder");
inline const QString kFileUnreadable = QStringLiteral("File Unreadable");
inline const QString kInvalidDate = QStringLiteral("Invalid Date");
inline const QString kInvalidFile = QStringLiteral("Invalid File");
inline const QString kLanNoAnswer = QStringLiteral("LAN No Answer");
inline const QString kNoFiles = QStringLiteral("No Files");
inline const QString kNoPrinter = QStringLiteral("No Printer");
inline const QString kNoProbe = QStringLiteral("No Probe");
inline const QString kPermissionDenied = QStringLiteral("Permission Denied");
inline const QString kRealTimeDisconnected = QStringLiteral("Real Time Disconnected");
inline const QString kResultLimit = QStringLiteral("Result Limit");
inline const QString kStopReal = QStringLiteral("Stop Real");
inline const QString kThereIsNoCom = QStringLiteral("There is no COM");
inline const QString kWaitProcess = QStringLiteral("Wait Process");
}  // namespace MessageKeys
