#include "CliSession.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QTimer>
#include <csignal>
#include <cstdio>

#include "base/Branding.h"
#include "base/MessageKeys.h"
#include "base/ProgramDataFolder.h"
#include "document/T58File.h"
#include "link/LinkSettings.h"

namespace {

volatile std::sig_atomic_t interrupted = 0;

void OnInterrupt(int) {
    interrupted = 1;
    std::signal(SIGINT, SIG_DFL);  // a second Ctrl+C ends the tool at once
}

// host, host:port, [v6]:port
bool SplitHost(const QString& text, QString& host, quint16& port) {
    port = 23;
    QString rest = text.trimmed();
    if (rest.startsWith(QLatin1Char('['))) {
        const qsizetype close = rest.indexOf(QLatin1Char(']'));
        if (close < 0) return false;
        host = rest.mid(1, close - 1);
        rest = rest.mid(close + 1);
        if (rest.isEmpty()) return !host.isEmpty();
        if (!rest.startsWith(QLatin1Char(':'))) return false;
        rest = rest.mid(1);
    } else if (rest.count(QLatin1Char(':')) == 1) {
        host = rest.section(QLatin1Char(':'), 0, 0);
        rest = rest.section(QLatin1Char(':'), 1);
    } else {
        host = rest;
        return !host.isEmpty();
    }
    bool ok = false;
    const uint value = rest.toUInt(&ok);
    if (!ok || value < 1 || value > 65535) return false;
    port = static_cast<quint16>(value);
    return !host.isEmpty();
}

}  // namespace

QString StderrPresenter::PortText(const MessageBoxSpec& box) const {
    const MessageContext& c = box.context;
    const QString com = QStringLiteral("COM%1").arg(c.openingPort);
    const QString port = c.device.isEmpty() ? com
                         : byPath_          ? c.device
                                            : QStringLiteral("%1 (%2)").arg(com, c.device);
    if (box.key == MessageKeys::kThereIsNoCom)
        return QStringLiteral(
                   "cannot use %1: there is no such port, or another program is "
                   "using it.")
            .arg(port);
    if (box.key == MessageKeys::kPermissionDenied)
        return QStringLiteral(
                   "no permission to open %1. On Linux, serial ports belong to the "
                   "\"dialout\" group: add yourself with \"sudo usermod -aG dialout "
                   "$USER\", then log out and in again.")
            .arg(port);
    if (box.key == MessageKeys::kCannotOpenPort)
        return QStringLiteral("cannot open %1: %2").arg(port, c.systemText);
    if (box.key == MessageKeys::kLanNoAnswer)
        return QStringLiteral(
                   "the LAN host %1 accepted the connection, but no instrument "
                   "answers there. Check that the instrument is switched on and that "
                   "no other program is using it.")
            .arg(c.lanHost);
    if (box.key == MessageKeys::kCannotDetect) {
        if (c.lanSelection >= 1)
            return QStringLiteral(
                       "cannot connect to the LAN host %1%2. Check the host name or "
                       "IP address, the network cables and the network set-up.")
                .arg(c.lanHost, c.systemText.isEmpty() ? QString()
                                                       : QStringLiteral(" (%1)").arg(c.systemText));
        return QStringLiteral(
                   "no instrument answers on %1. Check that the instrument is "
                   "switched on and its cable is connected.")
            .arg(port);
    }
    return {};
}

bool StderrPresenter::Present(const MessageBoxSpec& box) {
    const QString port = PortText(box);
    const QString& text = port.isEmpty() ? box.text : port;
    std::fprintf(stderr, "tr58: %s\n", text.toUtf8().constData());
    return true;
}

CliSession::CliSession() : CliSession(ApplicationTitle(ReadBranding(ProgramDataFolder()))) {}

CliSession::CliSession(const QString& title) : store_(title) {
    link_ = std::make_unique<Link>(port_, pump_, presenter_);
    link_->SetApplicationTitle(title);
    LoadLinkSettings(store_, link_->State());
    link_->SetComPortSource([this] { return ComPortMap::FromSystem(store_.Raw()); });

    progressLine_ = ::isatty(STDERR_FILENO) == 1;
    link_->Progress().onChange = [this] { ShowProgress(); };

    // Ctrl+C cancels the command in progress the way the Cancel button does
    // (a download is stopped at the instrument with ESC).
    std::signal(SIGINT, OnInterrupt);
    auto* watch = new QTimer(QCoreApplication::instance());
    QObject::connect(watch, &QTimer::timeout, [this] {
        if (interrupted && link_) {
            interrupted = 0;
            interruptedByUser_ = true;
            link_->Cancel();
        }
    });
    watch->start(50);
}

CliSession::~CliSession() {
    if (progressShown_) std::fprintf(stderr, "\r\033[K");
    // Say goodbye to an instrument whose line is still open.
    if (link_ && link_->State().OpenPort != 0) link_->CloseLink();
}

bool CliSession::TakeConnectionOptions(QStringList& args, QString& error) {
    LinkState& s = link_->State();
    while (!args.isEmpty() && args.first().startsWith(QLatin1String("--"))) {
        const QString option = args.takeFirst();
        auto value = [&](QString& out) {
            if (args.isEmpty()) {
                error = QStringLiteral("%1 needs a value").arg(option);
                return false;
            }
            out = args.takeFirst();
            return true;
        };
        QString text;
        if (option == QLatin1String("--host")) {
            if (!value(text)) return false;
            QString host;
            quint16 port = 23;
            if (!SplitHost(text, host, port)) {
                error = QStringLiteral("--host takes HOST or HOST:PORT, not \"%1\"").arg(text);
                return false;
            }
            // The LAN host list's spare record: never stored in the settings.
            s.LanHosts[8] = {host, port, 1};
            link_->SelectLan(9);
        } else if (option == QLatin1String("--port")) {
            if (!value(text)) return false;
            bool ok = false;
            const int com = text.toInt(&ok);
            if (!ok || com < 1 || com > 16) {
                error = QStringLiteral("--port takes a COM number 1..16, not \"%1\"").arg(text);
                return false;
            }
            link_->SelectSerial(com);
        } else if (option == QLatin1String("--device")) {
            if (!value(text)) return false;
            if (!QFileInfo::exists(text)) {
                error = QStringLiteral("no such device: %1").arg(text);
                return false;
            }
            link_->SetComPortSource(nullptr);
            link_->SetComPortMap(ComPortMap({{1, text}}, {}));
            presenter_.NameDevices(true);
            link_->SelectSerial(1);
        } else if (option == QLatin1String("--auto")) {
            link_->SelectAutoDetect();
        } else {
            args.prepend(option);
            break;
        }
    }
    return true;
}

void CliSession::ShowProgress() {
    if (!progressLine_) return;
    const CommunicationProgress& p = link_->Progress();
    if (!p.IsVisible()) {
        if (progressShown_) std::fprintf(stderr, "\r\033[K");
        progressShown_ = false;
        return;
    }
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (progressShown_ && now - lastProgressMs_ < 100) return;
    lastProgressMs_ = now;
    const int percent = p.Maximum() > 0 ? static_cast<int>(p.Value() * 100 / p.Maximum()) : 0;
    const QString detail = p.DetailText();
    if (p.ShowsWaiting())
        std::fprintf(stderr, "\r\033[K%s %s", p.Message().toUtf8().constData(),
                     detail.toUtf8().constData());
    else if (!detail.isEmpty())
        std::fprintf(stderr, "\r\033[K%s %d%% (%s)", p.Message().toUtf8().constData(), percent,
                     detail.toUtf8().constData());
    else
        std::fprintf(stderr, "\r\033[K%s %d%%", p.Message().toUtf8().constData(), percent);
    std::fflush(stderr);
    progressShown_ = true;
}

int CliSession::Usage(const QString& message) {
    std::fprintf(stderr, "tr58: %s\nTry 'tr58 --help'.\n", message.toUtf8().constData());
    return Exit::kUsage;
}

int CliSession::Failure(const QString& message) {
    std::fprintf(stderr, "tr58: %s\n", message.toUtf8().constData());
    return Exit::kFailed;
}

bool CliSession::OpenDocumentFile(Document& document, const QString& path) {
    QString key;
    if (t58FormatOpen(document, path, nullptr, &key)) return true;
    const std::optional<MessageBoxSpec> box = ComposeMessage(key, MessageContext{});
    Failure(QStringLiteral("%1: %2").arg(path, box ? box->text : key));
    return false;
}

void CliSession::Print(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
}
