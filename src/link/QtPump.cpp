#include "link/QtPump.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTime>
#include <QTimer>

void QtPump::ProcessEvents(int milliseconds) {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (milliseconds <= 0) return;
    // Sleep in the event loop, so that input arriving meanwhile is handled at once.
    QEventLoop loop;
    QTimer::singleShot(milliseconds, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

void QtPump::Sleep(int milliseconds) {
    if (milliseconds > 0) QThread::msleep(static_cast<unsigned long>(milliseconds));
}

double QtPump::Clock() const {
    return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

QDateTime QtPump::Now() const {
    return QDateTime::currentDateTime();
}
