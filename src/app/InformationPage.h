#pragma once
// The information page of a document window: name and notes (editable), how
// the data were recorded, and per quantity its check box (on the chart or
// not), legend line, unit, minimum, maximum and mean.

#include <QList>
#include <QWidget>

#include "document/DocumentObserver.h"

class Document;
class QCheckBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

class InformationPage : public QWidget, private DocumentObserver {
    Q_OBJECT
public:
    explicit InformationPage(Document& document, QWidget* parent = nullptr);
    ~InformationPage() override;

    // The legend line beside quantity q's check box (invalid colour: none).
    void SetLegendColour(int q, const QColor& colour);

    QLineEdit* txtFilename() const { return txtFilename_; }
    QPlainTextEdit* txtNotes() const { return txtNotes_; }
    QCheckBox* chkQuantity(int q) const { return rows_.value(q).check; }
    QLineEdit* Statistic(int q, int column) const;
    QLabel* Label(const char* name) const;

signals:
    void ContextMenuRequested(const QPoint& globalPos);
    // A text for the message line (a quantity that cannot be charted).
    void StatusText(const QString& text);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    struct Row {
        QCheckBox* check = nullptr;
        QLabel* legend = nullptr;
        QLabel* unit = nullptr;
        QLineEdit* minimum = nullptr;
        QLineEdit* maximum = nullptr;
        QLineEdit* mean = nullptr;
    };

    void QuantitiesChanged(const Document&) override;
    void InformationChanged(const Document&) override;
    void StatisticsChanged(const Document&) override;
    void ViewChanged(const Document&) override;
    void BuildRows();
    void ShowInformation();
    void ShowStatistics();
    void ShowCharted();

    Document& document_;
    QLineEdit* txtFilename_;
    QPlainTextEdit* txtNotes_;
    QGroupBox* fraSummary_;
    QGridLayout* summary_;
    QList<Row> rows_;
    QList<QWidget*> rowWidgets_;
    bool showing_ = false;  // filling the boxes, not the user typing
};
