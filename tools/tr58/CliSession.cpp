#include "CliSession.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "base/Branding.h"
#include "base/MessageKeys.h"
#include "base/ProgramDataFolder.h"
#include "document/T58File.h"
#include "download/DownloadProgressBar.h"
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

// The width of the terminal standard error writes to; 80 when it does not say.
int TerminalColumns() {
    winsize size{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
    bool ok = false;
    const int columns = qEnvironmentVariableIntValue("COLUMNS", &ok);
    return ok && columns > 0 ? columns : 80;
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
    if (beforeMessage) beforeMessage();
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
    presenter_.beforeMessage = [this] { BreakProgressLine(); };

    // Ctrl+C cancels the command in progress the way the Cancel button does
    // (a download is stopped at the instrument with ESC).
    std::signal(SIGINT, OnInterrupt);
    auto* watch = new QTimer(QCoreApplication::instance());
    QObject::connect(watch, &QTimer::timeout, [this] { TakeInterrupt(); });
    watch->start(50);
}

bool CliSession::TakeInterrupt() {
    if (interrupted && link_) {
        interrupted = 0;
        interruptedByUser_ = true;
        link_->Cancel();
    }
    return interruptedByUser_;
}

CliSession::~CliSession() {
    BreakProgressLine();
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
        BreakProgressLine();
        return;
    }
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (!barNames_.isEmpty() && p.CurrentFile() >= 1) {
        if (p.CurrentFile() != barFile_) {
            // The next file's PLAY: the last file's bar stays on its own line.
            if (barShown_) BreakProgressLine();
            barFile_ = p.CurrentFile();
            barEnded_ = false;
            barClock_.start();
        }
        // While the instrument keeps the tool waiting, the line says so.
        if (!p.ShowsWaiting()) {
            if (barEnded_ || (progressShown_ && now - lastProgressMs_ < 100)) return;
            lastProgressMs_ = now;
            DrawFileBar(false);
            return;
        }
    }
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
    barShown_ = false;
}

void CliSession::ShowFileBars(const QStringList& names) {
    barNames_ = names;
    barFile_ = 0;
    barEnded_ = false;
}

void CliSession::EndFileBar() {
    if (!progressLine_ || barNames_.isEmpty() || barFile_ < 1 || barEnded_) return;
    DrawFileBar(true);
}

void CliSession::DrawFileBar(bool final) {
    const CommunicationProgress& p = link_->Progress();
    const qint32 done = p.PointsReceived();
    // A finished file is complete with the points it gave, also when the
    // estimate before its header (a date/time range) said more.
    const qint32 total = final ? done : p.FilePoints();
    const QString line =
        DownloadProgressBarText(TerminalColumns() - 1, barNames_.value(barFile_ - 1), done, total,
                                static_cast<double>(barClock_.elapsed()) / 1000.0);
    std::fprintf(stderr, "\r\033[K%s%s", line.toUtf8().constData(), final ? "\n" : "");
    std::fflush(stderr);
    progressShown_ = barShown_ = !final;
    barEnded_ = final;
}

void CliSession::BreakProgressLine() {
    if (barShown_)
        std::fputs("\n", stderr);  // the bar stays: it shows how far the file came
    else if (progressShown_)
        std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
    progressShown_ = barShown_ = false;
}

bool CliSession::MakeOutputFolder(const QString& folder, QString& error) {
    const QString shown = QDir::toNativeSeparators(folder);
    if (QFileInfo::exists(folder)) {
        if (!QFileInfo(folder).isDir()) {
            error = QStringLiteral("%1 is a file, not a folder").arg(shown);
            return false;
        }
    } else {
        std::error_code code;
        std::filesystem::create_directories(
            std::filesystem::path(QFile::encodeName(folder).toStdString()), code);
        if (code || !QFileInfo(folder).isDir()) {
            error = QStringLiteral("cannot create the folder %1: %2")
                        .arg(shown, code ? QString::fromLocal8Bit(code.message())
                                         : QStringLiteral("it is not there afterwards"));
            return false;
        }
    }
    if (!QFileInfo(folder).isWritable()) {
        error = QStringLiteral("cannot write into the folder %1").arg(shown);
        return false;
    }
    return true;
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
    Failure(QStringLiteral("%1: %2").arg(path, MessageText(key)));
    return false;
}

QString CliSession::MessageText(const QString& key) {
    const std::optional<MessageBoxSpec> box = ComposeMessage(key, MessageContext{});
    return box ? box->text : key;
}

void CliSession::Print(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
}
