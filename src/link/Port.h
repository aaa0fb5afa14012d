#pragma once
// The port the instrument is reached through: a COM port (1..16) or the LAN
// link (17). One interface, several transports; the link engine does not know
// which one it talks through.

#include <QByteArray>
#include <QString>
#include <functional>

struct PortTarget {
    static constexpr int kLanPort = 17;
    int number = 1;        // 1..16 COM port, 17 the LAN link
    QString device;        // serial: the device the COM number is mapped to
    QString host;          // LAN: host name or address
    quint16 tcpPort = 23;  // LAN: TCP port
};

// Error numbers an open can fail with.
namespace PortError {
constexpr int kNone = 0;
constexpr int kNoSuchPort = 8002;
constexpr int kPortInUse = 8005;
constexpr int kUnavailable = 68;
// The device exists but this user may not open it (on Linux: not in the
// group that owns serial devices, usually "dialout").
constexpr int kPermissionDenied = 70;
constexpr int kOther = 8015;
}  // namespace PortError

class Port {
public:
    virtual ~Port() = default;

    // Opens the port; 0 or one of the PortError numbers. A LAN open starts the
    // TCP connection and returns at once: a host that does not answer is seen
    // as an instrument that stays silent.
    virtual int Open(const PortTarget& target) = 0;
    // Disconnects and closes; harmless when closed.
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;

    // Bytes queued for sending and not yet on the line, including those the
    // system's driver still holds.
    virtual qint64 OutputPending() const = 0;
    virtual void DiscardOutput() = 0;
    // Bytes received and not yet read.
    virtual qint64 InputPending() const = 0;
    virtual void DiscardInput() = 0;
    // All buffered input; empties the buffer.
    virtual QByteArray ReadInput() = 0;
    // False when the bytes could not be handed to the line.
    virtual bool Write(const QByteArray& bytes) = 0;
    // While true the receive handler reads nothing (hardware flow control).
    virtual bool Hold() const { return false; }

    // The connection ended by itself: the peer closed it or refused it, the
    // device was removed, a write failed. Stays true until the next Open, so a
    // waiting link need not wait for a reply that cannot come; the port wakes
    // it through the receive event when this turns true.
    virtual bool ConnectionLost() const { return false; }
    // The connection of the last Open was made (for a LAN link: the host
    // accepted it), also after it was lost or closed. A serial port is
    // connected once it opens.
    virtual bool ConnectionMade() const { return true; }
    // What the system said about the last failed open or lost connection.
    virtual QString ErrorText() const { return {}; }

    // The receive event: called on the GUI thread whenever input arrives.
    void SetReceiveHandler(std::function<void()> handler) { receive_ = std::move(handler); }

protected:
    void NotifyReceive() {
        if (receive_) receive_();
    }

private:
    std::function<void()> receive_;
};
