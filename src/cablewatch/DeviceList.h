#pragma once
// The list of instrument cables as Cablewatch shows it: one row per device
// instance ever installed, kept current by Update() once a second, with the
// list view's sorted mode, sort column and order, and the selection. The
// window only mirrors it.

#include <QList>
#include <QString>
#include <array>

#include "cablewatch/CablewatchTexts.h"
#include "cablewatch/RegistryTree.h"

namespace cablewatch {

struct DeviceRow {
    QString key;      // "USB\Vid_2A6F&Pid_0200\" + instance name; unique
    QString text;     // column "COM Number"
    QString tag;      // the port name: change detection, sorting, the reply
    QString status;   // column "Status"
    QString cableId;  // column "USB Cable ID"
    int icon = 0;     // 1 normal, 2 disabled, 3 driver problem
    bool ghosted = false;
};

// What one update did, so the window can redraw only when needed.
struct UpdateSummary {
    int added = 0;
    int removed = 0;
    int changed = 0;
    bool sortingSwitchedOff = false;
    bool Any() const { return added || removed || changed || sortingSwitchedOff; }
};

class DeviceList {
public:
    const QList<DeviceRow>& Rows() const { return rows_; }
    // Index of the row with this key (ignoring case); -1 when none.
    int IndexOf(const QString& key) const;

    // Adds rows for new instance keys, removes rows whose key is gone, and
    // re-evaluates every row's port name, status, icon and ghosting. A row
    // whose port name changes switches the sorted mode off, so the rows stay
    // where the user sees them until the next sort.
    UpdateSummary Update(const RegistryTree& tree);

    // Sorts by the current column and order and switches sorted mode on. The
    // "COM Number" column sorts by the number after "COM", right-aligned in
    // three characters, so COM5 comes before COM12.
    void Sort();
    // A click on column (1-based): the same column, sorted ascending, turns to
    // descending; any other case sorts that column ascending.
    void ColumnClick(int column);

    bool IsSorted() const { return sorted_; }
    int SortColumn() const { return sortColumn_; }  // 0-based
    bool IsDescending() const { return descending_; }

    const QString& SelectedKey() const { return selectedKey_; }
    int SelectedIndex() const { return IndexOf(selectedKey_); }
    // Selects the row with this key; an unknown key clears the selection.
    void Select(const QString& key);
    // Selects the row whose port name is port (ignoring case), else the first
    // row; false when no row matched port.
    bool SelectPort(const QString& port);

    // Properties and OK are usable exactly when there is a row.
    bool CommandsEnabled() const { return !rows_.isEmpty(); }
    // "Driver version: (none)" until the driver's version value is found.
    const QString& VersionText() const { return versionText_; }

    // The text a row sorts by in the "COM Number" column.
    static QString SortKey(const QString& tag);
    // Widths of the three columns for a list this many pixels wide.
    static std::array<int, 3> ColumnWidths(int listWidth);

private:
    QString SortText(const DeviceRow& row, int column) const;

    QList<DeviceRow> rows_;
    bool sorted_ = false;
    int sortColumn_ = 0;
    bool descending_ = false;
    QString selectedKey_;
    QString versionText_ = Texts().versionNone;
};

}  // namespace cablewatch
