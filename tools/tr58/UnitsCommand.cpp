#include "UnitsCommand.h"

#include "CliSession.h"
#include "realtime/UnitSelection.h"
#include "realtime/UnitSettings.h"

const char kUnitsSynopsis[] =
    "units\n"
    "      The probe's quantities as a TAB-separated table with a header: number, name,\n"
    "      shown (yes/no), the unit it is shown in, the units it can be shown in.\n\n"
    "  units set NAME=UNIT [NAME=UNIT [NAME=UNIT]]\n"
    "      Shows those quantities (at most three) in those units and hides the others,\n"
    "      e.g. tr58 units set T=\xC2\xB0"
    "F RH=%RH. Names and units are written as units lists\n"
    "      them; superscripts may be typed either way (g/m\xC2\xB3 or g/m3).";

namespace {

// What the user types and what the instrument sends, made comparable: the
// instrument's symbol codes for a superscript 2 and 3 read as plain digits,
// so a typed superscript is one too.
QString MatchKey(const QString& text) {
    QString key = text.trimmed();
    key.replace(QChar(0x00B2), QLatin1Char('2'));
    key.replace(QChar(0x00B3), QLatin1Char('3'));
    return key;
}

// The entry of texts that word names: the exact spelling first, else the one
// entry that differs only in case; -1 when none (or more than one) does.
int FindText(const QStringList& texts, const QString& word) {
    const QString key = MatchKey(word);
    int found = -1;
    for (int i = 0; i < texts.size(); ++i)
        if (MatchKey(texts.at(i)) == key) return i;
    for (int i = 0; i < texts.size(); ++i) {
        if (MatchKey(texts.at(i)).compare(key, Qt::CaseInsensitive) != 0) continue;
        if (found >= 0) return -1;
        found = i;
    }
    return found;
}

QStringList UnitTexts(const QuantityChoice& quantity) {
    QStringList units;
    for (int u = 0; u < quantity.Units.size(); ++u) units << quantity.ShownUnit(u);
    return units;
}

int PrintTable(CliSession& session) {
    QList<QuantityChoice> quantities;
    if (ReadQuantityTable(session.GetLink(), quantities) != UnitReadResult::Read)
        return Exit::kFailed;
    CliSession::Print(QStringLiteral("number\tname\tshown\tunit\tunits\n"));
    for (const QuantityChoice& quantity : quantities) {
        const bool shown = quantity.UnitChoice > 0;
        CliSession::Print(QStringLiteral("%1\t%2\t%3\t%4\t%5\n")
                              .arg(quantity.ListIndex + 1)
                              .arg(quantity.ShownName(),
                                   shown ? QStringLiteral("yes") : QStringLiteral("no"),
                                   shown ? quantity.ShownUnit(quantity.UnitChoice - 1) : QString(),
                                   UnitTexts(quantity).join(QStringLiteral(", "))));
    }
    return Exit::kOk;
}

int SetUnits(CliSession& session, const QStringList& assignments) {
    const QString example = QStringLiteral("e.g. tr58 units set T=\u00B0F RH=%RH");
    if (assignments.isEmpty())
        return CliSession::Usage(
            QStringLiteral("units set takes NAME=UNIT for one to three quantities, %1")
                .arg(example));
    if (assignments.size() > UnitSelection::kSlotCount)
        return CliSession::Usage(
            QStringLiteral("units set shows at most three quantities; %1 were named")
                .arg(assignments.size()));
    for (const QString& assignment : assignments) {
        if (!assignment.contains(QLatin1Char('=')) || assignment.startsWith(QLatin1Char('=')) ||
            assignment.endsWith(QLatin1Char('=')))
            return CliSession::Usage(
                QStringLiteral("\"%1\" is not NAME=UNIT, %2").arg(assignment, example));
    }

    // The names and units are the instrument's: read them first and keep the
    // line open for the change.
    Link& link = session.GetLink();
    QList<QuantityChoice> quantities;
    if (ReadQuantityTable(link, quantities, false) != UnitReadResult::Read) return Exit::kFailed;
    QStringList names;
    for (const QuantityChoice& quantity : quantities) names << quantity.ShownName();

    QList<bool> shown(quantities.size(), false);
    for (const QString& assignment : assignments) {
        const QString name = assignment.section(QLatin1Char('='), 0, 0);
        const QString unit = assignment.section(QLatin1Char('='), 1);
        const int q = FindText(names, name);
        if (q < 0)
            return CliSession::Usage(QStringLiteral("unknown quantity \"%1\"; the probe has: %2")
                                         .arg(name, names.join(QStringLiteral(", "))));
        if (shown.at(q))
            return CliSession::Usage(
                QStringLiteral("quantity \"%1\" is named twice").arg(names.at(q)));
        const QStringList units = UnitTexts(quantities.at(q));
        const int u = FindText(units, unit);
        if (u < 0)
            return CliSession::Usage(
                QStringLiteral("unknown unit \"%1\" for %2; it can be shown in: %3")
                    .arg(unit, names.at(q), units.join(QStringLiteral(", "))));
        shown[q] = true;
        quantities[q].UnitChoice = static_cast<qint16>(u + 1);
    }
    return SendUnitChoice(link, quantities, shown) ? Exit::kOk : Exit::kFailed;
}

}  // namespace

int RunUnits(CliSession& session, const QStringList& args) {
    if (!session.GetLink().WaitLinkIdle()) return Exit::kFailed;
    if (args.isEmpty()) return PrintTable(session);
    if (args.first() == QLatin1String("set")) return SetUnits(session, args.mid(1));
    return CliSession::Usage(
        QStringLiteral("units takes no arguments, or set NAME=UNIT ... (see tr58 --help)"));
}
