#pragma once
// The LAN connection dialog: a host from the list of recent ones (or a new
// one) and its TCP port. Accepting it switches the link to that host.

#include <QDialog>

class Link;
class QComboBox;
class QLineEdit;

class frmLanConnection : public QDialog {
    Q_OBJECT
public:
    frmLanConnection(Link& link, QWidget* parent);

    // 17 (the LAN link's port number) when accepted, 0 when cancelled.
    int Result() const { return result_; }

    QComboBox* cboIp() const { return cboIp_; }
    QLineEdit* txtPort() const { return txtPort_; }
    void cmdOK_Click();

private:
    void ChooseListItem(int index);

    Link& link_;
    QComboBox* cboIp_;
    QLineEdit* txtPort_;
    int selected_ = 0;  // 1-based host entry
    int result_ = 0;
};
