#include "sim/SimFile.h"

#include <QStringList>
#include <cmath>

namespace {

// A small deterministic hash, so that values and manual times look irregular
// but are the same in every run.
quint32 Mix(quint32 a, quint32 b) {
    quint32 h = a * 0x9E3779B1u ^ (b + 0x7F4A7C15u + (a << 6) + (a >> 2));
    h ^= h >> 15;
    h *= 0x85EBCA77u;
    h ^= h >> 13;
    return h;
}

QList<SimQuantity> ProbeQuantities(int count, bool withMissing) {
    // Humidity and temperature probe quantities, with the instrument's symbol
    // codes in two units (0x8F is the superscript 3 of g/m3).
    static const SimQuantity kAll[] = {
        {"T",
         "\xB0"
         "C",
         2, 21.5, 3.0, 0},
        {"RH", "%RH", 1, 45.0, 12.0, 0},
        {"Td",
         "\xB0"
         "C",
         2, 9.2, 2.5, 0},
        {"a", "g/m\x8F", 2, 8.7, 1.4, 0},
        {"x", "g/kg", 2, 7.3, 1.1, 0},
        {"Tw",
         "\xB0"
         "C",
         2, 14.2, 2.0, 0},
        {"p", "hPa", 1, 1013.2, 6.5, 0},
        {"H\x8D"
         "O",
         "ppm", 0, 9800, 900, 0},
    };
    QList<SimQuantity> list;
    for (int q = 0; q < count && q < 8; ++q) {
        SimQuantity quantity = kAll[q];
        if (withMissing) quantity.missingEvery = 17 + 6 * q;
        list << quantity;
    }
    return list;
}

}  // namespace

QByteArray InstrumentTimeStamp(const QDateTime& time) {
    return time.toString(QStringLiteral("yy-MM-dd hh:mm:ss")).toLatin1();
}

QDateTime SimFile::PointTime(int i) const {
    if (intervalValue > 0) {
        switch (intervalUnit) {
            case 4:
                return start.addSecs(qint64(i) * intervalValue * 60);
            case 8:
                return start.addSecs(qint64(i) * intervalValue * 3600);
            case 10:
                return start.addDays(qint64(i) * intervalValue);
            case 20:
                return start.addMonths(i * intervalValue);
            case 40:
                return start.addYears(i * intervalValue);
            default:
                return start.addSecs(qint64(i) * intervalValue);
        }
    }
    // Manual points: one reading every few minutes, at irregular times that
    // still increase (each step is 31 to 330 s).
    return start.addSecs(qint64(i) * 330 + (i > 0 ? Mix(seed, quint32(i)) % 300 : 0));
}

QByteArray SimFile::DataLine(int i) const {
    QByteArray line = InstrumentTimeStamp(PointTime(i));
    for (int q = 0; q < quantities.size(); ++q) {
        const SimQuantity& quantity = quantities.at(q);
        line += '\t';
        if (quantity.missingEvery > 0 && i % quantity.missingEvery == quantity.missingEvery - 1) {
            line += "----";  // the instrument had no reading
            continue;
        }
        const double phase = (seed % 97) * 0.1 + q;
        const double noise = (Mix(seed * 31 + quint32(q), quint32(i)) % 1000) / 1000.0 - 0.5;
        const double value = quantity.base + quantity.amplitude * std::sin(i / 40.0 + phase) +
                             quantity.amplitude * 0.05 * noise;
        line += QByteArray::number(value, 'f', quantity.decimals);
    }
    return line;
}

QByteArray SimFile::IntervalField() const {
    return QByteArray::number(intervalUnit).rightJustified(2, '0') +
           QByteArray::number(intervalValue & 0xFF, 16).toUpper().rightJustified(2, '0');
}

namespace {

SimFile MakeFile(const QByteArray& name, const QDateTime& start, int unit, int value,
                 QList<SimQuantity> quantities, int lines, quint32 seed, bool deletable = true,
                 bool rangeCapable = true) {
    SimFile file;
    file.name = name;
    file.start = start;
    file.intervalUnit = unit;
    file.intervalValue = value;
    file.quantities = std::move(quantities);
    file.lines = lines;
    file.seed = seed;
    file.deletable = deletable;
    file.rangeCapable = rangeCapable;
    return file;
}

}  // namespace

QList<SimFile> DefaultSimFiles() {
    const QDateTime base(QDate(2026, 11, 2), QTime(8, 0, 0));
    return {
        MakeFile("Lab 1", base, 2, 10, ProbeQuantities(3, false), 1000, 11),
        // Ö and the instrument's [I] symbol.
        MakeFile("Kylrum \xD6st \x90", base.addDays(-3), 4, 1, ProbeQuantities(8, true), 2500, 23),
        MakeFile("Manuell", base.addDays(-10).addSecs(3600), 2, 0, ProbeQuantities(2, false), 12, 5,
                 false, false),
        MakeFile("Logg:2026/11", base.addDays(-1), 2, 1, ProbeQuantities(8, true), 70000, 42),
        MakeFile("Lager", base.addDays(-40), 8, 1, ProbeQuantities(1, false), 720, 77, true, false),
        MakeFile("Tom", base, 2, 30, ProbeQuantities(2, false), 0, 3),
    };
}

bool ParseSimFile(const QString& description, int index, SimFile& file, QString& error) {
    const QStringList parts = description.split(QLatin1Char(':'));
    if (parts.size() < 3 || parts.size() > 4 || parts.at(0).isEmpty()) {
        error =
            QStringLiteral("a file is NAME:LINES:QUANTITIES[:FLAGS], not \"%1\"").arg(description);
        return false;
    }
    bool linesOk = false;
    bool quantitiesOk = false;
    const int lines = parts.at(1).toInt(&linesOk);
    const int quantities = parts.at(2).toInt(&quantitiesOk);
    if (!linesOk || lines < 0 || lines > 1000000) {
        error = QStringLiteral("LINES must be 0..1000000 in \"%1\"").arg(description);
        return false;
    }
    if (!quantitiesOk || quantities < 1 || quantities > 8) {
        error = QStringLiteral("QUANTITIES must be 1..8 in \"%1\"").arg(description);
        return false;
    }
    const QString flags = parts.size() == 4 ? parts.at(3).toUpper() : QString();
    for (QChar c : flags) {
        if (!QStringLiteral("LNMX").contains(c)) {
            error = QStringLiteral("unknown flag '%1' in \"%2\"").arg(c).arg(description);
            return false;
        }
    }
    file = MakeFile(
        parts.at(0).toLatin1(), QDateTime(QDate(2026, 11, 2), QTime(8, 0, 0)).addDays(-index), 2,
        flags.contains(QLatin1Char('M')) ? 0 : 10,
        ProbeQuantities(quantities, flags.contains(QLatin1Char('X'))), lines, 100 + quint32(index),
        !flags.contains(QLatin1Char('L')), !flags.contains(QLatin1Char('N')));
    return true;
}
