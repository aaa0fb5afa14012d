#pragma once
// The About window: the logo, the version and the maker notice.

#include <QDialog>

struct Branding;
class QLabel;

class frmAbout : public QDialog {
    Q_OBJECT
public:
    frmAbout(const Branding& branding, const QString& programFolder, QWidget* owner);
    QLabel* Label2() const { return label2_; }

private:
    QLabel* label2_;
};
