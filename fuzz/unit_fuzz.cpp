// Fuzz target: ParseUnitReply, the parser of the instrument's UNIT reply (the probe's quantities
// and their units), and the real-time settings window's model over it: the quantities chosen, a
// unit per slot, the interval, and the UNIT command that is sent back.
//
// Header: [0] quantities ticked (a bit each), [1] the slot and [2] the unit entry chosen,
// [3] the interval list entry.

#include "QtFuzz.h"
#include "base/TextHelpers.h"
#include "realtime/UnitSelection.h"
#include "realtime/UnitSettings.h"

using fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in{data, size};
    const uint8_t ticked = in.Byte();
    const int slot = in.Byte() % 4;
    const int entry = static_cast<int8_t>(in.Byte());
    const int interval = static_cast<int8_t>(in.Byte());
    const QString reply = DecodeInstrumentBytes(in.Rest());

    (void)IsNoProbeReply(reply);
    const QList<QuantityChoice> quantities = ParseUnitReply(reply);
    for (qsizetype q = 0; q < quantities.size(); ++q) {
        const QuantityChoice& quantity = quantities.at(q);
        Check(quantity.ListIndex == q);
        Check(quantity.Name.size() <= QuantityChoice::kNameLength);
        for (qsizetype u = 0; u < quantity.Units.size(); ++u) {
            Check(quantity.Units.at(u).Index == u);
            Check(quantity.Units.at(u).Unit.size() <= QuantityChoice::kUnitLength);
        }
        (void)quantity.ShownName();
        (void)quantity.ShownUnit(quantity.UnitChoice - 1);
    }

    UnitSelection selection;
    selection.Load(quantities, IntervalSecond(interval & 0x0F));
    for (int q = 0; q < 8; ++q) selection.Select(q, (ticked >> q) & 1);
    Check(selection.SelectedCount() <= UnitSelection::kSlotCount);
    selection.ChooseUnit(slot, entry);
    selection.ChooseInterval(interval);
    for (const UnitSelection::Slot& shown : selection.Slots()) {
        if (!shown.Shown()) continue;
        Check(shown.quantity < selection.Quantities().size());
        Check(shown.current >= -1 && shown.current < shown.units.size());
    }
    const QString command = selection.ChangeCommand();
    Check(command.startsWith(QLatin1String("UNIT ")) && command.endsWith(QLatin1Char('\r')));
    Check(command.count(QLatin1Char('\r')) == 1);
    return 0;
}
