#pragma once
// Snapstart's work: open the desktop's hardware viewer, the stand-in for the
// device manager, so that it also lists devices not plugged in now and shows
// their details. The viewer sees DEVMGR_SHOW_NONPRESENT_DEVICES=1 and
// DEVMGR_SHOW_DETAILS=1 in its environment.

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace snapstart {

struct ViewerCommand {
    QString program;
    QStringList arguments;
};

// The viewers tried, in order; the first one found is started.
const QList<ViewerCommand>& HardwareViewers();

// The first viewer found in searchPaths (empty: the PATH), with its program
// resolved to a full path; nullopt when none is installed.
std::optional<ViewerCommand> FindHardwareViewer(const QStringList& searchPaths = {});

// Sets both variables to "1" in this process, for the programs it starts.
void SetDeviceManagerEnvironment();

// Sets the variables and starts the first viewer found, detached. false when
// none was found or it could not start.
bool OpenDeviceManager(const QStringList& searchPaths = {}, qint64* pid = nullptr);

// What one run of Snapstart did.
enum class LaunchResult { Started, NoViewer, NotStarted };
struct Launch {
    LaunchResult result = LaunchResult::NoViewer;
    QString program;  // the viewer found, full path; "" when none
};
// As OpenDeviceManager, telling which viewer was found and whether it started.
Launch LaunchDeviceManager(const QStringList& searchPaths = {}, qint64* pid = nullptr);

// Snapstart's exit codes: 0 when the viewer started.
constexpr int kExitNoViewer = 1;
constexpr int kExitNotStarted = 2;
constexpr int kExitUsage = 3;

// The lines Snapstart prints on its error output when a run did not start a
// viewer: what it looked for and where. searchPaths empty: the PATH.
QString LaunchReport(const Launch& launch, const QStringList& searchPaths = {});

// Snapstart's --help.
QString SnapstartUsage();

}  // namespace snapstart
