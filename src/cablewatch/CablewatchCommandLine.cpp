#include "cablewatch/CablewatchCommandLine.h"

#include <QRegularExpression>

namespace cablewatch {

namespace {

bool TakeOption(const QString& arg, const QString& name, QString& value) {
    const QString prefix = QStringLiteral("--") + name + QLatin1Char('=');
    if (!arg.startsWith(prefix)) return false;
    value = arg.mid(prefix.size());
    return true;
}

}  // namespace

qint64 ParseOwnerHandle(const QString& text) {
    const QString t = text.trimmed();
    qsizetype pos = 0;
    bool negative = false;
    if (pos < t.size() && (t[pos] == QLatin1Char('-') || t[pos] == QLatin1Char('+'))) {
        negative = t[pos] == QLatin1Char('-');
        ++pos;
    }
    int base = 10;
    if (t.mid(pos, 2).compare(QLatin1String("0x"), Qt::CaseInsensitive) == 0) {
        base = 16;
        pos += 2;
    }
    quint64 value = 0;
    for (; pos < t.size(); ++pos) {
        const int digit = t[pos].isDigit() && t[pos].unicode() < 128 ? t[pos].unicode() - '0'
                          : base == 16 && t[pos].toLower() >= QLatin1Char('a') &&
                                  t[pos].toLower() <= QLatin1Char('f')
                              ? t[pos].toLower().unicode() - 'a' + 10
                              : -1;
        if (digit < 0) break;
        // A number too long for a handle is no handle at all.
        if (value > (quint64(INT64_MAX) - digit) / base) return 0;
        value = value * base + digit;
    }
    const qint64 handle = static_cast<qint64>(value);
    return negative ? -handle : handle;
}

CablewatchOptions ParseCablewatchCommandLine(const QStringList& args) {
    CablewatchOptions options;
    QStringList words;
    for (const QString& arg : args) {
        if (TakeOption(arg, QStringLiteral("sysfs"), options.sysfsRoot) ||
            TakeOption(arg, QStringLiteral("registry"), options.registryDir) ||
            TakeOption(arg, QStringLiteral("dump-registry"), options.dumpDir))
            continue;
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            options.help = true;
            continue;
        }
        words << arg;
    }
    static const QRegularExpression kBlanks(QStringLiteral("[ \\t]+"));
    const QStringList split = words.join(QLatin1Char(' ')).split(kBlanks, Qt::SkipEmptyParts);
    for (const QString& raw : split) {
        const QString word = raw.trimmed();
        if (word.isEmpty()) continue;
        if (word.left(3).compare(QLatin1String("/W:"), Qt::CaseInsensitive) == 0)
            options.ownerHandle = ParseOwnerHandle(word.mid(3));
        else
            options.portWord = word;
    }
    return options;
}

void ApplyEnvironment(CablewatchOptions& options) {
    if (options.sysfsRoot.isEmpty()) options.sysfsRoot = qEnvironmentVariable("CABLEWATCH_SYSFS");
    if (options.registryDir.isEmpty())
        options.registryDir = qEnvironmentVariable("CABLEWATCH_REGISTRY");
}

QString CablewatchUsage() {
    return QStringLiteral(
        "Usage: cablewatch [/W:<owner handle>] [<port>] [options]\n"
        "\n"
        "Lists every Halvion USB Instrument cable (USB 2A6F:0200) that has been plugged into\n"
        "this computer, with the COM port TR58 Link gives it, its state and its cable ID.\n"
        "\n"
        "  /W:<handle>          act as a port picker for the program with this handle\n"
        "                       (decimal or 0x hexadecimal); OK sends it the chosen port\n"
        "  <port>               the port to select at start, for example COM7\n"
        "  --sysfs=DIR          read the devices from DIR instead of /sys\n"
        "                       (environment: CABLEWATCH_SYSFS)\n"
        "  --registry=DIR       show a device tree saved with --dump-registry\n"
        "                       (environment: CABLEWATCH_REGISTRY)\n"
        "  --dump-registry=DIR  save the current device tree to DIR and end\n"
        "  --help               show this text\n"
        "\n"
        "Port-picker reply: when OK is pressed, Cablewatch connects to the local socket\n"
        "(QLocalServer name) \"cablewatch-owner-<handle>\", <handle> in decimal as given,\n"
        "and writes one record:\n"
        "  kind    4 bytes, unsigned little-endian, 0 (a port name)\n"
        "  length  4 bytes, unsigned little-endian, characters of the port name + 1\n"
        "  data    the port name in ISO 8859-1 followed by one NUL byte (length bytes)\n"
        "e.g. COM7 is 00 00 00 00 05 00 00 00 43 4F 4D 37 00. Cablewatch also connects to\n"
        "that socket when it starts and keeps the connection open while its window is\n"
        "open: the owner may disable itself while connected and enable and raise itself\n"
        "when the connection closes. Cancel or Close send no record.\n");
}

}  // namespace cablewatch
