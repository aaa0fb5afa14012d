#pragma once
// The reply a port picker sends to its owner, and the connection it goes
// through. Where the desktop has no copy-data window message, the record
// travels over a local socket named after the owner handle:
//     kind    quint32, little-endian: 0, a port name
//     length  quint32, little-endian: characters of the port name + 1
//     data    the port name in ISO 8859-1 (one byte per character, "?" for a
//             character it lacks) followed by a NUL byte; length bytes
// The connection is also the modality: Cablewatch opens it at start and
// closes it when its window closes, so the owner can disable itself while it
// is open and enable and raise itself when it ends.

#include <QByteArray>
#include <QObject>
#include <QString>
#include <optional>

class QLocalSocket;

namespace cablewatch {

constexpr quint32 kReplyKindPortName = 0;
// Records longer than this are not read: a port name is a few characters.
constexpr quint32 kMaxReplyLength = 4096;

struct PortPickerRecord {
    quint32 kind = 0;
    quint32 length = 0;
    QByteArray data;   // length bytes, the NUL included
    QString portName;  // data up to the first NUL
};

QByteArray EncodePortPickerReply(const QString& portName);
// Reads one record from the front of buffer. nullopt when the buffer does not
// hold a whole record yet, or (with *malformed set) when its length is 0 or
// beyond kMaxReplyLength. consumed receives the bytes the record took.
std::optional<PortPickerRecord> DecodePortPickerReply(const QByteArray& buffer,
                                                      qsizetype* consumed = nullptr,
                                                      bool* malformed = nullptr);

// The local socket name of an owner: "cablewatch-owner-" and the handle.
QString OwnerSocketName(qint64 ownerHandle);

// Cablewatch's end of the connection to its owner. Every failure is silent:
// an owner that does not listen simply gets nothing.
class OwnerLink : public QObject {
    Q_OBJECT
public:
    explicit OwnerLink(qint64 ownerHandle, QObject* parent = nullptr);
    ~OwnerLink() override;

    // Connects when not connected; true when connected.
    bool Connect(int timeoutMs = 500);
    // Sends the reply record (connecting first when needed); true when
    // written.
    bool SendPortName(const QString& portName, int timeoutMs = 1000);
    // Ends the connection: the owner may enable and raise itself.
    void Close();
    bool IsConnected() const;

private:
    qint64 ownerHandle_;
    QLocalSocket* socket_;
};

}  // namespace cablewatch
