#pragma once
// The properties of one instrument cable in a window of their own: its state,
// port and cable ID, every value the device tree holds for it and, for a
// cable plugged in now, its USB attributes. It stands in for the system's
// property sheet and closes itself (deleted) when the user closes it.

#include <QDialog>

#include "cablewatch/RegistryTree.h"

class QPlainTextEdit;

namespace cablewatch {

class DevicePropertiesWindow : public QDialog {
    Q_OBJECT
public:
    DevicePropertiesWindow(const RegistryTree& tree, const QString& rowKey,
                           QWidget* parent = nullptr);

    const QString& RowKey() const { return rowKey_; }
    QString Text() const;

private:
    QString rowKey_;
    QPlainTextEdit* txtProperties = nullptr;
};

}  // namespace cablewatch
