#pragma once
// tr58 pdf: a .t58 file printed into a PDF, the same pages TR58 Link prints.

#include <QStringList>

class CliSession;

extern const char kPdfSynopsis[];
int RunPdf(CliSession& session, const QStringList& args);
