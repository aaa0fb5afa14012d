#pragma once
// Printing a document: the information page, the chart and the data table on
// any paged device (a printer chosen in the print dialog, or a PDF file), and
// the PDF file itself. Headless: it paints with QPainter only, so the tr58 tool
// and the tests print without a screen.
//
// Page layout (every part, both orientations, whatever the paper):
// - Margins 15 mm all round; the page header at the top of the printable
//   area: the title centred in 16 pt bold (cut with "..." when it would run
//   into the page number), "Sida N (M)" right-aligned in 10 pt on the title's
//   last line, then two empty lines. N and M count the pages of the whole job,
//   all parts together.
// - A footer on the last line of every page in 8 pt: the document's file name
//   left (when it has one), the date and time of printing right, so a sheet in
//   a lab journal says where its readings are.
// - Body text is 10 pt; every line is one line height of its font.
// - Information: the name, the recording (kind, duration, interval, points,
//   start, stop) with its captions in a column, the summary table (quantity,
//   unit, minimum, maximum, mean; a short line in the chart colour before a
//   charted quantity), then the notes wrapped at the printable width. Lines
//   that do not fit continue on the next page.
// - Chart: one page. The picture is as wide as the printable width less 1000
//   twips (it is centred), drawn as vector graphics at the device's resolution.
//   In landscape it is as tall as the page leaves after the header, the footer
//   and min(notes lines + 5, 9) lines of 10 pt; in portrait at most three
//   quarters of its width (a chart as tall as a portrait page is hard to read).
//   The notes follow below the picture as far as they fit, the last shown line
//   ending in "..." when they are cut (they are printed whole on the
//   information page).
// - Data table: the grid's rows as text in columns (number, time, one column
//   per quantity, numbers right-aligned), the quantity headers on two lines
//   (name, unit) repeated on every page. Column widths are measured with the
//   device's font: the widest of the header, the first and last time, the
//   last point number and the quantity's minimum, maximum and "-". When the
//   columns are wider than the page the table's font shrinks (not below 6 pt).

#include <QString>
#include <functional>

class ChartSlots;
class Document;
class QPagedPaintDevice;

struct PrintChoice {
    bool information = false;
    bool chart = false;
    bool table = false;
    bool landscape = false;
};

// Prints the chosen parts of document onto device (a QPrinter from the dialog, or a QPdfWriter),
// always in the order information, chart, data table, each part on new pages, every page with
// the page header. The device's orientation is set from choice and its margins to 15 mm.
// status(text) is called with the part's status text (5063/5064/5065) before each part and 5054
// ("Klar.") at the end; stopped() is asked between pages and true ends the job. The chart shows
// the document's current range (FirstPoint..LastPoint; every point when the range is empty).
// The document's bPrinting is set while it prints. Returns false when stopped, when nothing was
// chosen, or when the device could not be painted.
bool PrintDocument(QPagedPaintDevice& device, Document& document, const ChartSlots& chartSlots,
                   const PrintChoice& choice,
                   const std::function<void(const QString&)>& status = {},
                   const std::function<bool()>& stopped = {});

// The number of pages PrintDocument prints for these parts on device in the chosen orientation
// (it sets the orientation and margins as PrintDocument does).
int CountPrintPages(QPagedPaintDevice& device, Document& document, const ChartSlots& chartSlots,
                    const PrintChoice& choice);

// The same parts as a PDF file on A4, written through the atomic save, so a failed write never
// destroys an existing file. False with an error text (English, for the tool and the log) on
// failure.
bool WritePdf(const QString& path, Document& document, const ChartSlots& chartSlots,
              const PrintChoice& choice, QString& error);
