#include "cablewatch/DevicePropertiesWindow.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "cablewatch/CableIcons.h"
#include "cablewatch/CablewatchTexts.h"
#include "cablewatch/DeviceProperties.h"
#include "cablewatch/DeviceStatus.h"

namespace cablewatch {

DevicePropertiesWindow::DevicePropertiesWindow(const RegistryTree& tree, const QString& rowKey,
                                               QWidget* parent)
    : QDialog(parent), rowKey_(rowKey) {
    setObjectName(QStringLiteral("frmDeviceProperties"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(WindowIcon());
    // Titled by the cable's port, as the system's sheet is by the device.
    const auto state = EvaluateDevice(tree, rowKey);
    const QString port = state && state->portName ? *state->portName : QString();
    setWindowTitle(Texts().propertiesTitle.arg(
        port.isEmpty() ? RegistryTree::SplitPath(rowKey).value(2) : port));

    txtProperties = new QPlainTextEdit(this);
    txtProperties->setObjectName(QStringLiteral("txtProperties"));
    txtProperties->setReadOnly(true);
    txtProperties->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtProperties->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    txtProperties->setPlainText(DevicePropertiesReport(tree, rowKey));

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* close = buttons->addButton(Texts().closeCaption, QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("cmdClose"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(txtProperties, 1);
    layout->addWidget(buttons);
    resize(520, 420);
}

QString DevicePropertiesWindow::Text() const {
    return txtProperties->toPlainText();
}

}  // namespace cablewatch
