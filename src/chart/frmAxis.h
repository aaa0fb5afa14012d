#pragma once
// The axis dialog (frmAxis, "Axel"): for the active document's chart, the
// vertical bounds of each quantity on the chart or its automatic scaling, and
// the first and last point shown. Modal; OK applies, Cancel or Esc changes
// nothing. Its rules (reading, stepping and checking the boxes, applying
// them) are AxisForm's in the core.
//
// Controls, by object name (the rows are numbered 0 to 2 in quantity order):
// lblQuantityN, lblUnitN, chkAutoScaleN, txtUpperN with updUpperN, txtLowerN
// with updLowerN; txtPoint0/txtPoint1 with updPoint0/updPoint1 and their
// times txtDate0/txtDate1; cmdOK, cmdCancel. An up-down control is a pair of
// arrow buttons named "...Up" and "...Down" inside it.

#include <QDialog>
#include <QList>

class ChartNavigator;
class Document;
class QCheckBox;
class QLabel;
class QLineEdit;
class QToolButton;
class QWidget;

class frmAxis : public QDialog {
    Q_OBJECT

public:
    frmAxis(Document& document, ChartNavigator& navigator, QWidget* parent = nullptr);

    // OK: the first box that cannot be taken gets the focus with its text
    // selected and the dialog stays open; otherwise the entries are applied
    // (the chart redraws) and the dialog closes.
    void accept() override;

private:
    struct Row {
        int quantity = -1;
        QLabel* lblQuantity = nullptr;
        QLabel* lblUnit = nullptr;
        QCheckBox* chkAutoScale = nullptr;
        QLabel* lblUpper = nullptr;
        QLineEdit* txtUpper = nullptr;
        QWidget* updUpper = nullptr;
        QLabel* lblLower = nullptr;
        QLineEdit* txtLower = nullptr;
        QWidget* updLower = nullptr;
    };
    struct PointRow {
        QLabel* lblPoint = nullptr;
        QLineEdit* txtPoint = nullptr;
        QWidget* updPoint = nullptr;
        QLineEdit* txtDate = nullptr;
    };

    void Fill();
    void AutoScaleToggled(int row);
    void StepBound(QLineEdit* box, int quantity, bool up);
    void StepPoint(int index, bool up);
    void ShowPointTime(int index);

    Document& document_;
    ChartNavigator& navigator_;
    QList<Row> rows_;
    PointRow points_[2];
    bool editable_ = false;
};
