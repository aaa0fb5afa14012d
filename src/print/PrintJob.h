#pragma once
// Printing a document: its information page, chart and data table on the
// pages of a printer or a PDF file.

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

bool PrintDocument(QPagedPaintDevice& device, Document& document, const ChartSlots& chartSlots,
                   const PrintChoice& choice,
                   const std::function<void(const QString&)>& status = {},
                   const std::function<bool()>& stopped = {});
bool WritePdf(const QString& path, Document& document, const ChartSlots& chartSlots,
              const PrintChoice& choice, QString& error);
