// The main window's real-time commands: opening the real-time window,
// stopping it, and the menus that follow its state.
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "app/frmDocument.h"
#include "app/frmMain.h"
#include "base/StringIds.h"
#include "base/StringTable.h"
#include "realtime/RealTimeSession.h"

void frmMain::mnuRealTimeWindow_Click() {
    if (link_->State().icommand != Command::kNone) return;
    MainFocus();
    if (realTimeWindow_ && realTimeWindow_->IsRealTimeRunning()) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(realTimeWindow_->parentWidget()))
            mdiArea_->setActiveSubWindow(sub);
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    auto* window = new frmDocument(*this, frmDocument::Mode::RealTime);
    const bool ok = window->StartRealTime(geometry_.realTimeInterval,
                                          geometry_.realTimeIntervalUnit, &stopRequest_);
    if (!ok) {
        // The first request failed (the user has been told): the window goes
        // without a question; it holds no reading.
        delete window;
        Action(QStringLiteral("mnuStopRealTimeWindow"))->setEnabled(false);
        Action(QStringLiteral("tbRealtime"))->setEnabled(true);
    } else {
        realTimeWindow_ = window;
        window->SetCaption(StringTable::Text(Str::kUntitled) + QLatin1Char(' ') +
                           StringTable::Text(Str::kRealTimeSuffix));
        AddDocumentWindow(window);
        Action(QStringLiteral("mnuStopRealTimeWindow"))->setEnabled(true);
    }
    QApplication::restoreOverrideCursor();
}

void frmMain::mnuStopRealTimeWindow_Click() {
    if (realTimeWindow_ && realTimeWindow_->Session()) realTimeWindow_->Session()->StopByUser();
}

void frmMain::StopReal() {
    if (realTimeWindow_ && realTimeWindow_->Session()) realTimeWindow_->Session()->StopReal();
}

void frmMain::RealTimeStopped(frmDocument&) {
    Action(QStringLiteral("mnuRealTimeWindow"))->setEnabled(true);
    Action(QStringLiteral("mnuStopRealTimeWindow"))->setEnabled(false);
    Action(QStringLiteral("tbRealtime"))->setEnabled(true);
}
