#pragma once
// The pages of a document window (information, chart, data table) observe the
// document: whoever fills or changes it (the recorded-data parser, the .t58
// reader, the real-time window, the axis dialog) changes the record, and the
// document tells its observers what changed. No page state lives in the
// record's users, so everything here runs without a screen.

#include <QtGlobal>

class Document;

class DocumentObserver {
public:
    virtual ~DocumentObserver() = default;
    // The quantities were (re)built: count, names, units. Pages lay out one row
    // or column per quantity.
    virtual void QuantitiesChanged(const Document&) {}
    // Points first .. first + count - 1 (0-based) were added.
    virtual void PointsAdded(const Document&, qint32 /*first*/, qint32 /*count*/) {}
    // Points first .. first + count - 1 were taken away (the last ones).
    virtual void PointsRemoved(const Document&, qint32 /*first*/, qint32 /*count*/) {}
    // Title, notes or the information page's texts (times, interval, duration,
    // recording kind, number of points, caption) changed.
    virtual void InformationChanged(const Document&) {}
    // Minimum, maximum and mean were computed.
    virtual void StatisticsChanged(const Document&) {}
    // The chart's view changed: scales, the point range, the charted quantities.
    virtual void ViewChanged(const Document&) {}
};
