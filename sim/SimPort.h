#pragma once
// A port in the test process: COM ports and the LAN link lead to simulated
// instruments (or to nothing, or fail to open), and bytes travel on the
// VirtualPump's clock, optionally at a baud rate and in small pieces.

#include <QMap>
#include <functional>
#include <memory>

#include "link/Port.h"
#include "sim/Instrument.h"
#include "sim/VirtualPump.h"

class SimPort : public Port {
public:
    explicit SimPort(VirtualPump& pump);
    ~SimPort() override;
    SimPort(const SimPort&) = delete;
    SimPort& operator=(const SimPort&) = delete;

    // Where the instrument answers: a COM port, or LAN host "host:port".
    void AttachInstrument(int com, Instrument* instrument);
    void AttachLanInstrument(const QString& hostAndPort, Instrument* instrument);
    // A COM port that fails to open with this error number; the system's
    // words for it in text.
    void SetOpenError(int com, int error, const QString& text = {});
    // At most this many bytes arrive per event (splits replies anywhere).
    void SetChunkSize(qint64 bytes) { chunk_ = bytes; }
    // Line speed for both directions; 0 = instant.
    void SetBaud(int baud) { baud_ = baud; }
    // The instrument's side ends the connection: the cable pulled, the
    // instrument switched off, the LAN peer gone. Seen at the next event.
    void HangUp() { hangUp_ = true; }

    int Open(const PortTarget& target) override;
    void Close() override;
    bool IsOpen() const override { return open_; }
    qint64 OutputPending() const override { return toInstrument_.size(); }
    void DiscardOutput() override { toInstrument_.clear(); }
    qint64 InputPending() const override { return input_.size(); }
    void DiscardInput() override { input_.clear(); }
    QByteArray ReadInput() override;
    bool Write(const QByteArray& bytes) override;
    // A LAN host with no instrument attached refuses the connection; the
    // dropped-connection fault and HangUp end it.
    bool ConnectionLost() const override { return lost_; }
    bool ConnectionMade() const override { return made_; }
    QString ErrorText() const override { return errorText_; }

    // Called for every write, before the bytes travel.
    std::function<void(const QByteArray&)> onWrite;
    // Everything written to the port since the last call (tests inspect it).
    QByteArray TakeWritten();
    // Open attempts, as the numbers of the ports tried.
    const QList<int>& OpenLog() const { return openLog_; }
    Instrument* Connected() const { return connected_; }

private:
    void Advance(qint64 nowMs, bool events);

    VirtualPump& pump_;
    int device_ = -1;
    QMap<int, Instrument*> instruments_;
    QMap<QString, Instrument*> lanInstruments_;
    QMap<int, int> openErrors_;
    QMap<int, QString> openErrorTexts_;
    QString errorText_;
    QList<int> openLog_;
    Instrument* connected_ = nullptr;
    bool open_ = false;
    bool dropped_ = false;
    bool lost_ = false;
    bool made_ = false;
    bool hangUp_ = false;
    bool lostUnseen_ = false;
    QByteArray toInstrument_;
    QByteArray input_;
    QByteArray written_;
    qint64 chunk_ = 4096;
    int baud_ = 0;
    qint64 lastMs_ = 0;
    double credit_ = 0;
};
