#pragma once
// tr58 chart: a .t58 file's chart as a PNG picture.

#include <QCoreApplication>
#include <QStringList>
#include <memory>

class CliSession;

extern const char kChartSynopsis[];
int RunChart(CliSession& session, const QStringList& args);

// The tool's application object. The chart and pdf commands draw text, which needs a
// QGuiApplication: it gets one on Qt's offscreen platform (no display needed)
// with a private runtime folder when the environment names none, so that Qt
// has nothing to warn about. Every other command keeps a QCoreApplication.
std::unique_ptr<QCoreApplication> MakeToolApplication(int& argc, char** argv);
