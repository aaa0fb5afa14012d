#pragma once
// The splash window shown while the main window loads: the logo, the version
// and the maker notice; it closes itself after 2.5 s or at a click.

#include <QWidget>

struct Branding;
class QLabel;
class QTimer;

class frmSplash : public QWidget {
    Q_OBJECT
public:
    frmSplash(const Branding& branding, const QString& programFolder);
    QLabel* Label2() const { return label2_; }

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void Finish();
    QLabel* label2_;
    QTimer* tmrSplash_;
};
