// The English string table: one text for every id of the Swedish table
// (base/StringTable.cpp), written as an English-speaking user of a measuring
// instrument's desktop program expects to read it. Each text keeps its Swedish
// twin's line feeds, its %1 placeholders and the edges other texts or names are
// spliced to ("...COM" + port number, "'" + file name, "(" + host + ")"), and
// accelerators that are unique within each menu and dialog.
#include <iterator>

#include "base/StringTableEntries.h"

namespace {

using stringtable::Entry;

constexpr Entry kEntries[] = {
    // Main window menus.
    {1000, "&File"},
    {1001, "&Open..."},
    {1002, "&Close"},
    {1003, "&Save"},
    {1004, "Save &As/Export..."},
    {1005, "&Print..."},
    {1006, "Print &Setup..."},
    {1007, "E&xit"},
    {1008, "&Edit"},
    {1009, "&Copy"},
    {1010, "&View"},
    {1011, "&Information"},
    {1012, "&Chart"},
    {1013, "Data &Table"},
    {1014, "&Zoom In"},
    {1015, "Zoom &Out"},
    {1016, "Show &All"},
    {1017, "A&xis..."},
    {1018, "&Instrument"},
    {1019, "&Real-time Window"},
    {1020, "Real-time &Settings..."},
    {1021, "&Download Files..."},
    {1022, "D&elete Files..."},
    {1023, "Communication &Port"},
    {1024, "Device &Information"},
    {1025, "&Window"},
    {1026, "&Cascade"},
    {1027, "&Tile"},
    {1028, "&Arrange Icons"},
    {1029, "C&lose All"},
    {1030, "(Window List)"},
    {1031, "&Help"},
    {1032, "&Quick Guide"},
    {1033, "&Contents and Index"},
    {1034, "&About TR58 Link"},
    // Toolbar tool tips.
    {1035, "Open"},
    {1036, "Save"},
    {1037, "Print"},
    {1038, "Copy"},
    // Status bar panels and frame elements.
    {1040, "Messages"},
    {1041, "Date"},
    {1042, "Time"},
    {1043, "Caps Lock"},
    {1044, "Insert"},
    {1045, "Num Lock"},
    {1046, "Toolbar"},
    {1047, "Status Bar"},
    {1048, "Recent Files"},
    {1049, "Stop Real-time Window"},
    // Communication port submenu.
    {1050, "&Autodetect"},
    {1051, "COM&1"},
    {1052, "COM&2"},
    {1053, "COM&3"},
    {1054, "COM&4"},
    {1055, "Show All"},
    {1056, "Zoom In"},
    {1057, "Zoom Out"},
    {1058, "S&top Real-time Window"},
    {1101, "COM&5"},
    {1102, "COM&6"},
    {1103, "COM&7"},
    {1104, "COM&8"},
    {1105, "COM&9"},
    {1106, "COM1&0"},
    {1107, "COM11"},
    {1108, "COM12"},
    {1109, "COM13"},
    {1110, "COM14"},
    {1111, "COM15"},
    {1112, "COM16"},
    {1113, "Network (LAN)..."},
    // Progress window and the document's information page.
    {5002, "Communicating..."},
    {5003, "&Name:"},
    {5004, "Recording Information"},
    {5005, "Automatically recorded data"},
    {5006, "Duration:"},
    {5007, "Interval:"},
    {5008, "Data points:"},
    {5009, "Start time:"},
    {5010, "Stop time:"},
    {5011, "Summary"},
    {5012, "Parameter:"},
    {5013, "Unit:"},
    {5014, "Minimum:"},
    {5015, "Maximum:"},
    {5016, "Average:"},
    {5017, "N&otes:"},
    // Real-time settings and axis dialogs.
    {5018, "Select &parameters:"},
    {5019, "Select &units:"},
    {5020, "Update\n&interval:"},
    {5021, "&Maximum:"},
    {5022, "M&inimum:"},
    {5023, "OK"},
    {5024, "Cancel"},
    // File dialog and device information.
    {5025, "Reading the instrument's file list..."},
    {5026, "&Download"},
    {5027, "&Select the data file(s) to download:"},
    {5028, "De&lete the downloaded file(s) from the instrument"},
    {5029, "Device Information"},
    {5030, "Type:"},
    {5031, "Version:"},
    {5032, "Serial number:"},
    {5033, "Probe serial number:"},
    {5034, "Calibration date:"},
    {5035, "&Close"},
    {5036, "&Select the data file(s) to delete:"},
    {5037, "Delete Files"},
    {5038, "Pick a date from the calendar"},
    {5039, "to"},
    {5040, "&Delete"},
    // About, axis and print dialogs.
    {5041, "About TR58 Link"},
    {5042, "Version: 1.16"},
    {5043, "© 2026 TR58 Link. All rights reserved."},
    {5044, "&Autoscale"},
    {5045, "&First point:"},
    {5046, "&Last point:"},
    {5047, "Print"},
    {5048, "P&rinter"},
    {5049, "Orientation:"},
    {5050, "&Portrait"},
    {5051, "&Landscape"},
    {5052, "Print what"},
    {5053, "Download Files"},
    // Status bar progress texts.
    {5054, "Ready"},
    {5055, "Deleting file(s) from the instrument..."},
    {5056, "Downloading data file(s) from the instrument..."},
    {5057, "Saving file '"},
    {5058, "Copying the data table..."},
    {5059, "Exporting file '"},
    {5060, "Saving file '"},
    {5061, "Opening file '"},
    {5062, "Cancelling the data transfer, please wait..."},
    {5063, "Printing the information page..."},
    {5064, "Printing the chart..."},
    {5065, "Printing the data table..."},
    {5066, "Updating the real-time window..."},
    {5067, "No document is open."},
    {5068, "Do you want to save '"},
    // Messages.
    {5069,
     "Cannot change the real-time window settings. Check the following on the "
     "instrument:\n\n- The alarm function and the analogue output are disabled.\n- The "
     "instrument is not recording data.\n- The instrument is not in adjustment mode."},
    {5070,
     "You are about to change the real-time window settings.\nThis will stop the real-time "
     "window from updating. Do you want to continue?"},
    {5071,
     "If you stop the real-time window, it is no longer updated with new data.\nDo you "
     "really want to stop updating it?"},
    {5072,
     "The real-time window has stopped.\n\n- The instrument may have been switched off.\n- "
     "The parameters or units may have been changed on the instrument."},
    {5073, "A communication error occurred. Please try again."},
    {5074, "There are no data files in the instrument."},
    {5076, "Cannot find the instrument on COM"},
    {5077,
     ". Check the following:\n\n- The instrument is still switched on.\n- The cable is "
     "connected properly.\n- The correct COM port has been selected."},
    {5078, "There is no COM"},
    {5079,
     " port on this computer, or another application is using it. Check the "
     "following:\n\n- The selected port (COM"},
    {5080, ") is correct.\n- No other application is using the communication port."},
    {5081,
     "Cannot find the instrument. Check the following:\n\n- The instrument is still "
     "switched on.\n- The cable is connected properly.\n- No other application is using the "
     "communication port."},
    {5082,
     "All communication ports on this computer are in use by other applications. Check the "
     "following:\n\n- No other application is using the instrument's communication port."},
    {5083, "Cannot download the selected data files. The file(s) have already been deleted."},
    {5084, "The instrument does not respond. Please try again."},
    {5085,
     "The real-time window now holds the maximum number of data points (65000).\nThe "
     "real-time window has stopped."},
    {5086, "Please wait until the data transfer has finished."},
    {5087, "Cannot print. No printer is installed."},
    {5088, "Printing was cancelled."},
    {5089, "Cannot find the help file."},
    {5090, "Cannot copy to the clipboard."},
    {5091,
     "Cannot delete the selected file(s). Possible causes:\n\n- The file(s) have already "
     "been deleted.\n- The instrument is recording new data."},
    {5092, "No probe is connected to the instrument."},
    {5093,
     "Cannot find this file. It may have been moved or deleted, or it may be temporarily "
     "unavailable."},
    {5094, "Cannot open this file. The file is damaged."},
    {5095,
     "Cannot save this file. Possible causes:\n\n- No disk is inserted, or the "
     "network drive is not available.\n- The disk is full or write-protected.\n\nTry saving "
     "the file again to another disk or drive."},
    // Document pages, device information, axis dialog, toolbar.
    {5096, "&Information"},
    {5097, "&Chart"},
    {5098, "Data &Table"},
    {5099, "(No probe connected)"},
    {5100, "Axis"},
    {5101, "Real-time Window"},
    {5102, "Downloading instrument data..."},
    // Download, real-time and printing.
    {6000, "Partial download"},
    {6001, "Manually recorded data"},
    {6002, "Real-time window data"},
    {6003, "Reading device information..."},
    {6004, "Looking for the instrument..."},
    {6005, "Reading the instrument's settings..."},
    {6006, "Real-time Settings"},
    {6007, "(Real-time Window)"},
    {6008, "Untitled"},
    {6009, "Page"},
    {6010, "Data files in the instrument:"},
    {6011, "Name"},
    {6012, "First data point"},
    {6013, "Data points"},
    {6014, "Status"},
    {6015, "Can be deleted"},
    {6016, "Cannot be deleted"},
    {6017, "&Newest data from the selected file(s)"},
    {6018, "Date/time &range from the selected file(s):"},
    {6019, "The date/time range is invalid."},
    {6020,
     "The date/time range contains more than 65000 data points.\nOnly the first 65000 data "
     "points will be downloaded."},
    {6021,
     "\n\nThe file will not be deleted from the instrument, because not all of its data "
     "points will be downloaded."},
    {6022, "Files read by date/time range are not deleted from the instrument."},
    // LAN connection.
    {6030, "Cannot reach the LAN instrument. Possible causes:"},
    {6031, "\n\n- The IP address ("},
    {6032, ") is wrong."},
    {6033, "\n- The network cables are not connected properly."},
    {6034, "\n- One or more network devices are configured incorrectly."},
    {6035, "Network (LAN) Connection"},
    {6036, "Host name or IP address"},
    // Port messages: a permission the user lacks, what the system said about
    // a failed open, a LAN instrument whose host answers but which does not.
    {6040, "You do not have permission to use port COM"},
    {6041,
     ". Check the following:\n\n- Your user account is a member of the group that owns the "
     "serial ports (on Linux usually \"dialout\": sudo usermod -aG dialout USERNAME, then "
     "log out and back in)."},
    {6042, "Cannot open port COM"},
    {6043, ". The system reported:\n\n"},
    {6044, "The connection to the LAN instrument ("},
    {6045,
     ") was established, but the instrument does not respond. Check the following:\n\n- The "
     "instrument is switched on.\n- The instrument is connected to the network device.\n- No "
     "other program is using the instrument."},
    // Opening a document: why the file could not be read.
    {6046,
     "Cannot read this file. You do not have permission to read it, or another program is "
     "using it."},
    {6047, "This is a folder, not a data file. Choose a data file (*.t58) in the folder."},
    // Printing without a printer: the PDF instead.
    {6048, "Save as P&DF..."},
    {6049, "No printer is installed. You can save the printout as a PDF file instead."},
    {6050, "No printer is installed. The file was not printed."},
    {6051, "PDF documents (*.pdf)"},
    // A real-time recording that did not end normally (its journal), at start-up.
    {6052,
     "A real-time recording did not end normally (%1 readings, the latest at %2).\n\n"
     "Do you want to restore it?"},
    {6053,
     "Do you want to delete the interrupted real-time recording?\n\nIts readings will be "
     "lost. If you answer No, it is kept and the program asks again the next time it starts."},
    {6054,
     "The interrupted real-time recording\n%1\ncannot be read: %2\n\nThe file has been kept."},
    {6055, "The file does not exist or cannot be opened."},
    {6056, "The file is not a real-time recording, or its beginning is damaged."},
    {6057,
     "The recording is written in format version %1, which this version of the program "
     "cannot read."},
    {6058, "There is already a real-time recording in\n%1\nIt will not be overwritten."},
    {6059, "The real-time recording cannot be written to disk:\n%1"},
    {6065, "No readings to show"},
    {6066, "&Gridlines"},
    // Qt's standard buttons in the program's language, and the information page.
    {6070, "&Yes"},
    {6071, "&No"},
    {6072, "Close"},
    {6073,
     "No more than three parameters can be shown in the chart. Clear one of the other check "
     "boxes first."},
    {6080, "No."},
    {6081, "Time"},
    {6082, "File %1 of %2"},
    {6083, "%1 of %2 data points"},
    {6084, "%1 data points"},
    {6085, "Waiting for the instrument... %1 s"},
    {6086, "Delete the file %1 from the instrument?\nThis cannot be undone."},
    {6087, "Delete %1 files from the instrument?\nThis cannot be undone."},
    {6088, "Cannot delete: the instrument will not delete file(s) in the selection (%1)."},
    {6090, "TR58 Link – Help"},
    {6091, "&Back"},
    {6092, "&Forward"},
    {6093, "&Contents"},
    {6094, "The document could not be printed. Check the printer and try again."},
    {6095, "%1 already exists.\nDo you want to replace it?"},
    {6096,
     "The file %1 was not downloaded whole: the instrument sent %2 of %3 points.\nThe file is kept "
     "in the instrument."},
    {6097,
     "The title or the notes hold characters that a .t58 file cannot store. They are saved as "
     "\"?\".\nDo you want to save anyway?"},
};
static_assert(stringtable::IdsAscending(kEntries),
              "the string table must be sorted by id, without duplicates");

}  // namespace

std::span<const Entry> stringtable::EnglishEntries() {
    return kEntries;
}
