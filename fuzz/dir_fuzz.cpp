// Fuzz target: ParseDirReply, the parser of the instrument's DIR reply (its recorded-data files),
// and what the file dialog does with the list: the selection rules, the download's progress
// total, sorting by each column and the status texts.

#include <algorithm>

#include "QtFuzz.h"
#include "base/TextHelpers.h"
#include "download/DirEntry.h"
#include "download/Download.h"

using fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in{data, size};
    const uint8_t choices = in.Byte();
    const QString reply = DecodeInstrumentBytes(in.Rest());
    bool wellFormed = false;
    QList<DirEntry> entries = ParseDirReply(reply, &wellFormed);
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const DirEntry& entry = entries.at(i);
        Check(entry.Index == i);
        if (entry.FirstPointTime.isValid()) Check(!entry.FirstPointText.isEmpty());
        (void)StatusText(entry);
        entries[i].Selected = (choices >> (i % 8)) & 1;
    }
    const DirSelectionRules rules = SelectionRules(entries);
    Check(rules.actionEnabled == (SelectedCount(entries) > 0));
    if (rules.deleteEnabled) Check(rules.actionEnabled);
    (void)AnyRangeCapable(entries);
    // The progress total of downloading the selected files, counts as the instrument wrote them.
    Check(DownloadLineTotal(entries, choices & 0x40) >= 0);
    (void)AllSelected(entries);
    const DirColumn column = static_cast<DirColumn>(1 + choices % 5);
    SortDirEntries(entries, column, choices & 0x80);
    QList<qint32> indexes;
    for (const DirEntry& entry : entries) indexes << entry.Index;
    std::sort(indexes.begin(), indexes.end());
    for (qsizetype i = 0; i < indexes.size(); ++i) Check(indexes.at(i) == i);  // none lost
    return 0;
}
