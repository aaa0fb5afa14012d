#include "print/PrintJob.h"

#include <QDateTime>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QGuiApplication>
#include <QHash>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QRawFont>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "base/StringIds.h"
#include "base/StringTable.h"
#include "base/TextHelpers.h"
#include "chart/ChartNavigator.h"
#include "chart/ChartRenderer.h"
#include "chart/ChartSlots.h"
#include "document/DataTableModel.h"
#include "document/Document.h"
#include "document/DocumentFiles.h"
#include "document/Statistics.h"

namespace {

constexpr double kMarginMm = 15.0;
constexpr double kBodyPoints = 10.0;
constexpr double kTitlePoints = 16.0;
constexpr double kFooterPoints = 8.0;
constexpr double kSmallestTablePoints = 6.0;
// The chart picture is this much narrower than the printable width.
constexpr double kChartInsetTwips = 1000.0;
constexpr double kTwipsPerInch = 1440.0;
// Lines of 10 pt kept under the chart for the notes, at most.
constexpr int kChartNotesRoomLines = 9;

QFont PrintFont(double points, bool bold = false) {
    QFont font = QGuiApplication::font();
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// text broken into lines no wider than width (words kept whole where they fit);
// its own line breaks (CR LF from the notes box) are kept.
QStringList WrapLines(const QString& text, const QFont& font, QPaintDevice* device, double width) {
    QStringList lines;
    QString plain = text;
    plain.remove(QLatin1Char('\r'));
    for (const QString& paragraph : plain.split(QLatin1Char('\n'))) {
        if (paragraph.isEmpty()) {
            lines << QString();
            continue;
        }
        QTextLayout layout(paragraph, font, device);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            lines << paragraph.mid(line.textStart(), line.textLength()).trimmed();
        }
        layout.endLayout();
    }
    while (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
    return lines;
}

// The page as every part sees it: the printable area, the fonts measured on the
// device, and the band between the header and the footer.
class PageFrame {
public:
    explicit PageFrame(QPagedPaintDevice& device)
        : device_(&device),
          body(PrintFont(kBodyPoints)),
          bold(PrintFont(kBodyPoints, true)),
          title(PrintFont(kTitlePoints, true)),
          footer(PrintFont(kFooterPoints)),
          bodyMetrics(body, &device),
          boldMetrics(bold, &device),
          titleMetrics(title, &device),
          footerMetrics(footer, &device) {
        width = device.width();
        height = device.height();
        bodyLine = bodyMetrics.lineSpacing();
        // Title line, the page text level with its foot, two empty lines.
        top = titleMetrics.lineSpacing() + 2 * bodyLine;
        // One empty 10 pt line above the footer's own line.
        bottom = height - footerMetrics.lineSpacing() - bodyLine;
    }

    QPaintDevice* Device() const { return device_; }
    double DpiX() const { return device_->logicalDpiX(); }
    double BodyHeight() const { return bottom - top; }
    int BodyLines() const { return std::max(1, static_cast<int>(BodyHeight() / bodyLine)); }

    QPagedPaintDevice* device_;
    QFont body;
    QFont bold;
    QFont title;
    QFont footer;
    QFontMetricsF bodyMetrics;
    QFontMetricsF boldMetrics;
    QFontMetricsF titleMetrics;
    QFontMetricsF footerMetrics;
    double width = 0;
    double height = 0;
    double bodyLine = 0;
    double top = 0;     // where a part's content begins
    double bottom = 0;  // where it must end
};

// Text with its left edge at x on the line whose top is y.
void DrawLeft(QPainter& painter, const QFontMetricsF& metrics, double x, double y,
              const QString& text) {
    painter.drawText(QPointF(x, y + metrics.ascent()), text);
}

// Text ending at right on the line whose top is y.
void DrawRight(QPainter& painter, const QFontMetricsF& metrics, double right, double y,
               const QString& text) {
    painter.drawText(QPointF(right - metrics.horizontalAdvance(text), y + metrics.ascent()), text);
}

void PaintHeader(QPainter& painter, const PageFrame& frame, const QString& titleText, int page,
                 int pages) {
    const QString pageText =
        QStringLiteral("%1 %2 (%3)").arg(StringTable::Text(Str::kPage)).arg(page).arg(pages);
    const double pageWidth = frame.bodyMetrics.horizontalAdvance(pageText);
    // The title stays clear of the page text on both sides, so it stays centred.
    const double room = std::max(0.0, frame.width - 2 * (pageWidth + frame.bodyLine));
    const QString shown = frame.titleMetrics.elidedText(titleText, Qt::ElideRight, room);
    const double titleWidth = frame.titleMetrics.horizontalAdvance(shown);
    painter.setFont(frame.title);
    DrawLeft(painter, frame.titleMetrics, (frame.width - titleWidth) / 2, 0, shown);
    painter.setFont(frame.body);
    const double pageTop = frame.titleMetrics.lineSpacing() - frame.bodyLine;
    DrawRight(painter, frame.bodyMetrics, frame.width, pageTop, pageText);
}

void PaintFooter(QPainter& painter, const PageFrame& frame, const QString& fileName,
                 const QString& printedAt) {
    painter.setFont(frame.footer);
    const double y = frame.height - frame.footerMetrics.lineSpacing();
    if (!fileName.isEmpty()) {
        const QString shown = frame.footerMetrics.elidedText(
            fileName, Qt::ElideMiddle,
            frame.width - frame.footerMetrics.horizontalAdvance(printedAt) - frame.bodyLine);
        DrawLeft(painter, frame.footerMetrics, 0, y, shown);
    }
    DrawRight(painter, frame.footerMetrics, frame.width, y, printedAt);
}

// One part of the job: how many pages it takes, and how to paint each.
class PrintPart {
public:
    virtual ~PrintPart() = default;
    virtual Str::Id StatusText() const = 0;
    virtual int Pages() const = 0;
    // Paints page (0-based within the part) between the frame's top and bottom.
    virtual void Paint(QPainter& painter, int page) = 0;
};

// --- Information

// The information page as lines of body height, painted from the top of the
// page's band; a part that runs out of room continues on the next page.
class InformationPart : public PrintPart {
public:
    InformationPart(const PageFrame& frame, const Document& document, const ChartSlots& chartSlots)
        : frame_(frame) {
        const QFontMetricsF& m = frame.bodyMetrics;
        const double gap = m.horizontalAdvance(QStringLiteral("MM"));
        const double indent = m.horizontalAdvance(QStringLiteral("MM"));

        AddText(PlainCaption(Str::kInfoName) + u' ' + document.Title, false);
        AddBlank();
        AddText(PlainCaption(Str::kInfoRecording), true);
        AddText(document.Info.RecordingKind, false, indent);
        const std::vector<std::pair<Str::Id, QString>> rows = {
            {Str::kInfoTime, document.Info.Duration}, {Str::kInfoInterval, document.Info.Interval},
            {Str::kInfoPoints, document.Info.Points}, {Str::kInfoStartTime, document.Info.Start},
            {Str::kInfoStopTime, document.Info.Stop},
        };
        double captionWidth = 0;
        for (const auto& row : rows)
            captionWidth = std::max(captionWidth, m.horizontalAdvance(PlainCaption(row.first)));
        for (const auto& row : rows) {
            const QString caption = PlainCaption(row.first);
            const QString value = row.second;
            const double valueX = indent + captionWidth + gap / 2;
            lines_.push_back([this, caption, value, indent, valueX](QPainter& p, double y) {
                p.setFont(frame_.body);
                DrawLeft(p, frame_.bodyMetrics, indent, y, caption);
                DrawLeft(p, frame_.bodyMetrics, valueX, y, value);
            });
        }
        AddBlank();
        AddText(PlainCaption(Str::kInfoSummary), true);
        AddSummary(document, chartSlots, indent, gap);
        AddBlank();
        AddText(PlainCaption(Str::kInfoNotes), true);
        for (const QString& line :
             WrapLines(document.Notes, frame.body, frame.Device(), frame.width - indent))
            AddText(line, false, indent);
    }

    Str::Id StatusText() const override { return Str::kPrintingInformation; }
    int Pages() const override {
        const int perPage = frame_.BodyLines();
        return std::max<int>(1, (static_cast<int>(lines_.size()) + perPage - 1) / perPage);
    }
    void Paint(QPainter& painter, int page) override {
        const int perPage = frame_.BodyLines();
        const int first = page * perPage;
        const int end = std::min<int>(first + perPage, static_cast<int>(lines_.size()));
        for (int i = first; i < end; ++i)
            lines_[static_cast<size_t>(i)](painter, frame_.top + (i - first) * frame_.bodyLine);
    }

private:
    using Line = std::function<void(QPainter&, double)>;

    void AddBlank() {
        lines_.push_back([](QPainter&, double) {});
    }
    void AddText(const QString& text, bool bold, double x = 0) {
        lines_.push_back([this, text, bold, x](QPainter& p, double y) {
            p.setFont(bold ? frame_.bold : frame_.body);
            DrawLeft(p, bold ? frame_.boldMetrics : frame_.bodyMetrics, x, y, text);
        });
    }

    // Quantity, unit, minimum, maximum, mean: names to the left, numbers to the
    // right of their columns; the chart colour's short line before a quantity
    // on the chart, as on the screen.
    void AddSummary(const Document& document, const ChartSlots& chartSlots, double indent,
                    double gap) {
        const QFontMetricsF& m = frame_.bodyMetrics;
        const QList<QStringList> table = SummaryTable(document);
        const double legend = m.horizontalAdvance(QStringLiteral("MMM"));
        std::vector<double> widths(5, 0.0);
        for (const QStringList& cells : table)
            for (int c = 0; c < 5; ++c)
                widths[static_cast<size_t>(c)] =
                    std::max(widths[static_cast<size_t>(c)], m.horizontalAdvance(cells.at(c)));
        // Left edges of the name and unit columns, right edges of the numbers.
        std::vector<double> edges(5, 0.0);
        double x = indent + legend;
        for (int c = 0; c < 5; ++c) {
            const double w = widths[static_cast<size_t>(c)];
            edges[static_cast<size_t>(c)] = c < 2 ? x : x + w;
            x += w + gap;
        }
        for (qsizetype row = 0; row < table.size(); ++row) {
            const QStringList cells = table.at(row);
            const bool header = row == 0;
            const QColor colour =
                header ? QColor() : chartSlots.ColourOf(static_cast<int>(row - 1));
            lines_.push_back(
                [this, cells, header, colour, edges, indent, legend](QPainter& p, double y) {
                    const QFontMetricsF& fm = header ? frame_.boldMetrics : frame_.bodyMetrics;
                    p.setFont(header ? frame_.bold : frame_.body);
                    if (colour.isValid()) {
                        p.save();
                        p.setPen(QPen(colour, frame_.bodyLine / 8));
                        const double mid = y + frame_.bodyLine / 2;
                        p.drawLine(QPointF(indent, mid), QPointF(indent + legend * 0.7, mid));
                        p.restore();
                    }
                    for (int c = 0; c < 5; ++c) {
                        const double edge = edges[static_cast<size_t>(c)];
                        if (c < 2)
                            DrawLeft(p, fm, edge, y, cells.at(c));
                        else
                            DrawRight(p, fm, edge, y, cells.at(c));
                    }
                });
        }
    }

    const PageFrame& frame_;
    std::vector<Line> lines_;
};

// --- Chart

class ChartPart : public PrintPart {
public:
    ChartPart(const PageFrame& frame, Document& document, const ChartSlots& chartSlots)
        : frame_(frame), document_(document), chartSlots_(chartSlots) {
        notes_ = WrapLines(document.Notes, frame.body, frame.Device(), frame.width);
        const double width = frame.width - kChartInsetTwips / kTwipsPerInch * frame.DpiX();
        const int room = std::min(static_cast<int>(notes_.size()) + 5, kChartNotesRoomLines);
        double height = frame.BodyHeight() - room * frame.bodyLine;
        const bool portrait = frame.height > frame.width;
        if (portrait) height = std::min(height, width * 0.75);
        area_ = QRectF((frame.width - width) / 2, frame.top, width, std::max(height, 1.0));
    }

    Str::Id StatusText() const override { return Str::kPrintingChart; }
    int Pages() const override { return 1; }
    void Paint(QPainter& painter, int) override {
        // A range never set (a document just read by the tool) is every point.
        ChartNavigator(document_).AdoptDocumentRange();
        painter.save();
        painter.setClipRect(area_);
        DrawChart(painter, document_, chartSlots_, area_, frame_.body);
        painter.restore();

        if (notes_.isEmpty()) return;
        double y = area_.bottom() + frame_.bodyLine;
        const int fit = static_cast<int>((frame_.bottom - y) / frame_.bodyLine) - 1;
        if (fit < 1) return;
        painter.setFont(frame_.bold);
        DrawLeft(painter, frame_.boldMetrics, 0, y, PlainCaption(Str::kInfoNotes));
        painter.setFont(frame_.body);
        const int shown = std::min<int>(fit, static_cast<int>(notes_.size()));
        for (int i = 0; i < shown; ++i) {
            y += frame_.bodyLine;
            QString line = notes_.at(i);
            if (i == shown - 1 && shown < notes_.size()) {
                // The notes go on: say so on the last line that fits.
                const QString more = QStringLiteral(" ...");
                line = frame_.bodyMetrics.elidedText(
                           line, Qt::ElideRight,
                           frame_.width - frame_.bodyMetrics.horizontalAdvance(more)) +
                       more;
            }
            DrawLeft(painter, frame_.bodyMetrics, 0, y, line);
        }
    }

private:
    const PageFrame& frame_;
    Document& document_;
    const ChartSlots& chartSlots_;
    QStringList notes_;
    QRectF area_;
};

// --- Data table

class TablePart : public PrintPart {
public:
    TablePart(const PageFrame& frame, Document& document)
        : frame_(frame), document_(document), model_(document) {
        columns_ = model_.columnCount();
        rows_ = document.PointCount();
        // Column texts to measure: the header on two lines, then the widest
        // cells a column can hold.
        std::vector<QStringList> samples(static_cast<size_t>(columns_));
        header1_.resize(columns_);
        header2_.resize(columns_);
        for (int q = 0; q < document.QuantityCount(); ++q) {
            const QuantityInfo& quantity = document.Quantity(q);
            header1_[q + 2] = CleanInstrumentText(quantity.Name).trimmed();
            header2_[q + 2] = CleanInstrumentText(quantity.Unit).trimmed();
            QStringList& s = samples[static_cast<size_t>(q + 2)];
            s << header1_[q + 2] << header2_[q + 2] << QStringLiteral("-");
            if (quantity.StatsValid) {
                const int decimals = std::max<int>(0, quantity.Decimals);
                s << FormatDecimals(quantity.Minimum, decimals)
                  << FormatDecimals(quantity.Maximum, decimals);
            }
        }
        if (rows_ > 0) {
            samples[0] << model_.GridText(rows_, 0);
            samples[1] << model_.GridText(1, 1) << model_.GridText(rows_, 1);
        }

        // The font shrinks until the columns fit across the page.
        double points = kBodyPoints;
        for (;;) {
            font_ = PrintFont(points);
            boldFont_ = PrintFont(points, true);
            const QFontMetricsF m(boldFont_, frame.Device());
            const double gap = m.horizontalAdvance(QStringLiteral("MM"));
            rights_.assign(static_cast<size_t>(columns_), 0.0);
            double x = 0;
            for (int c = 0; c < columns_; ++c) {
                double w = 0;
                for (const QString& text : samples[static_cast<size_t>(c)])
                    w = std::max(w, m.horizontalAdvance(text));
                if (c > 0) x += gap;
                lefts_.resize(static_cast<size_t>(columns_));
                lefts_[static_cast<size_t>(c)] = x;
                x += w;
                rights_[static_cast<size_t>(c)] = x;
            }
            if (x <= frame.width || points <= kSmallestTablePoints) break;
            points = std::max(kSmallestTablePoints, points * frame.width / x - 0.1);
        }
        // The body's glyphs at the device's resolution, for GlyphOf.
        QFont pixelFont = font_;
        pixelFont.setPixelSize(qRound(points * frame.Device()->logicalDpiY() / 72.0));
        rawFont_ = QRawFont::fromFont(pixelFont);
        font_ = pixelFont;
        metrics_ = std::make_unique<QFontMetricsF>(font_, frame.Device());
        boldMetrics_ = std::make_unique<QFontMetricsF>(boldFont_, frame.Device());
        line_ = metrics_->lineSpacing();
        // Two header lines and a little room under the rule.
        headerHeight_ = 2 * boldMetrics_->lineSpacing() + line_ / 2;
        perPage_ = std::max(1, static_cast<int>((frame.BodyHeight() - headerHeight_) / line_));
    }

    Str::Id StatusText() const override { return Str::kPrintingDataTable; }
    int Pages() const override { return std::max(1, (rows_ + perPage_ - 1) / perPage_); }
    void Paint(QPainter& painter, int page) override {
        double y = frame_.top;
        painter.setFont(boldFont_);
        const double headerLine = boldMetrics_->lineSpacing();
        for (int c = 2; c < columns_; ++c) {
            DrawRight(painter, *boldMetrics_, rights_[static_cast<size_t>(c)], y, header1_[c]);
            DrawRight(painter, *boldMetrics_, rights_[static_cast<size_t>(c)], y + headerLine,
                      header2_[c]);
        }
        y += 2 * headerLine + line_ / 4;
        painter.save();
        painter.setPen(QPen(Qt::black, line_ / 20));
        painter.drawLine(QPointF(0, y), QPointF(rights_.back(), y));
        painter.restore();
        y += line_ / 4;

        // A page's column is one run of glyphs, looked up character by
        // character: the cells are digits, signs and dates, which need no
        // shaping, and a 65000-point document has over half a million cells.
        const int first = page * perPage_ + 1;
        const int last = std::min(rows_, first + perPage_ - 1);
        QList<quint32> glyphs;
        QList<QPointF> positions;
        for (int c = 0; c < columns_; ++c) {
            glyphs.clear();
            positions.clear();
            double baseline = y + metrics_->ascent();
            for (int row = first; row <= last; ++row, baseline += line_) {
                const QString text = model_.GridText(row, c);
                const qsizetype from = glyphs.size();
                double x = 0;
                bool missing = false;
                for (const QChar ch : text) {
                    const Glyph glyph = GlyphOf(ch);
                    missing = missing || (glyph.index == 0 && !ch.isSpace());
                    glyphs << glyph.index;
                    positions << QPointF(x, baseline);
                    x += glyph.advance;
                }
                if (missing) {
                    // A character the table's font lacks (a month name in
                    // another script): this cell goes through Qt's text
                    // layout, which finds a font that has it.
                    glyphs.resize(from);
                    positions.resize(from);
                    painter.setFont(font_);
                    const double top = baseline - metrics_->ascent();
                    if (c == 1)
                        DrawLeft(painter, *metrics_, lefts_[1], top, text);
                    else
                        DrawRight(painter, *metrics_, rights_[static_cast<size_t>(c)], top, text);
                    continue;
                }
                // The time to the left of its column, numbers to the right.
                const double shift = c == 1 ? lefts_[1] : rights_[static_cast<size_t>(c)] - x;
                for (qsizetype i = from; i < positions.size(); ++i) positions[i].rx() += shift;
            }
            QGlyphRun run;
            run.setRawFont(rawFont_);
            run.setGlyphIndexes(glyphs);
            run.setPositions(positions);
            painter.drawGlyphRun(QPointF(0, 0), run);
        }
    }

private:
    struct Glyph {
        quint32 index = 0;
        double advance = 0;
    };
    Glyph GlyphOf(QChar ch) {
        const auto known = glyphs_.constFind(ch.unicode());
        if (known != glyphs_.cend()) return *known;
        Glyph glyph;
        const QList<quint32> indexes = rawFont_.glyphIndexesForString(QString(ch));
        if (!indexes.isEmpty()) {
            glyph.index = indexes.front();
            const QList<QPointF> advances = rawFont_.advancesForGlyphIndexes(indexes);
            if (!advances.isEmpty()) glyph.advance = advances.front().x();
        }
        glyphs_.insert(ch.unicode(), glyph);
        return glyph;
    }

    const PageFrame& frame_;
    Document& document_;
    DataTableModel model_;
    QRawFont rawFont_;
    QHash<char16_t, Glyph> glyphs_;
    int columns_ = 0;
    int rows_ = 0;
    QStringList header1_;
    QStringList header2_;
    QFont font_;
    QFont boldFont_;
    std::unique_ptr<QFontMetricsF> metrics_;
    std::unique_ptr<QFontMetricsF> boldMetrics_;
    std::vector<double> lefts_;
    std::vector<double> rights_;
    double line_ = 0;
    double headerHeight_ = 0;
    int perPage_ = 1;
};

void PreparePages(QPagedPaintDevice& device, bool landscape) {
    device.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    device.setPageMargins(QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                          QPageLayout::Millimeter);
}

std::vector<std::unique_ptr<PrintPart>> MakeParts(const PageFrame& frame, Document& document,
                                                  const ChartSlots& chartSlots,
                                                  const PrintChoice& choice) {
    std::vector<std::unique_ptr<PrintPart>> parts;
    if (choice.information)
        parts.push_back(std::make_unique<InformationPart>(frame, document, chartSlots));
    if (choice.chart) parts.push_back(std::make_unique<ChartPart>(frame, document, chartSlots));
    if (choice.table) parts.push_back(std::make_unique<TablePart>(frame, document));
    return parts;
}

}  // namespace

int CountPrintPages(QPagedPaintDevice& device, Document& document, const ChartSlots& chartSlots,
                    const PrintChoice& choice) {
    PreparePages(device, choice.landscape);
    const PageFrame frame(device);
    int pages = 0;
    for (const auto& part : MakeParts(frame, document, chartSlots, choice)) pages += part->Pages();
    return pages;
}

bool PrintDocument(QPagedPaintDevice& device, Document& document, const ChartSlots& chartSlots,
                   const PrintChoice& choice, const std::function<void(const QString&)>& status,
                   const std::function<bool()>& stopped) {
    const auto say = [&status](Str::Id id) {
        if (status) status(StringTable::Text(id));
    };
    PreparePages(device, choice.landscape);
    const PageFrame frame(device);
    const std::vector<std::unique_ptr<PrintPart>> parts =
        MakeParts(frame, document, chartSlots, choice);
    if (parts.empty()) return false;
    // "Sida N (M)" needs M on the first page.
    int pages = 0;
    for (const auto& part : parts) pages += part->Pages();

    // The real-time poll skips its turn while its document is printed.
    const bool printingBefore = document.bPrinting;
    document.bPrinting = true;
    const auto finish = [&](bool result) {
        document.bPrinting = printingBefore;
        say(Str::kReady);
        return result;
    };

    QPainter painter;
    if (!painter.begin(&device)) return finish(false);
    const QString fileName = QFileInfo(document.FilePath).fileName();
    const QString printedAt = FormatDateTimeLocal(QDateTime::currentDateTime());
    int page = 0;
    for (const auto& part : parts) {
        for (int p = 0; p < part->Pages(); ++p) {
            if (page > 0) {
                if (stopped && stopped()) {
                    painter.end();
                    return finish(false);
                }
                if (p == 0) say(part->StatusText());
                if (!device.newPage()) {
                    painter.end();
                    return finish(false);
                }
            } else {
                say(part->StatusText());
            }
            ++page;
            PaintHeader(painter, frame, document.Title, page, pages);
            part->Paint(painter, p);
            PaintFooter(painter, frame, fileName, printedAt);
        }
    }
    return finish(painter.end());
}

bool WritePdf(const QString& path, Document& document, const ChartSlots& chartSlots,
              const PrintChoice& choice, QString& error) {
    if (!choice.information && !choice.chart && !choice.table) {
        error = QStringLiteral("no part chosen to print");
        return false;
    }
    bool painted = true;
    const bool saved = SaveFileAtomically(path, [&](QIODevice& file) {
        QPdfWriter writer(&file);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setTitle(document.Title);
        writer.setCreator(QCoreApplication::applicationName());
        painted = PrintDocument(writer, document, chartSlots, choice);
        return painted;
    });
    if (saved) return true;
    error = painted ? QStringLiteral("cannot write %1").arg(path)
                    : QStringLiteral("cannot draw the pages of %1").arg(path);
    return false;
}
