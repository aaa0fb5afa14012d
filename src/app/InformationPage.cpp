#include "app/InformationPage.h"

#include <QCheckBox>
#include <QContextMenuEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QVBoxLayout>

#include "base/StringIds.h"
#include "base/StringTable.h"
#include "base/TextHelpers.h"
#include "document/Document.h"
#include "document/Statistics.h"

namespace {

QLabel* Caption(QWidget* parent, Str::Id tag, const char* name = nullptr) {
    auto* label = new QLabel(parent);
    label->setProperty("Tag", Str::Tag(tag));
    if (name) label->setObjectName(QString::fromLatin1(name));
    return label;
}

QLabel* Value(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QLineEdit* StatisticBox(QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setReadOnly(true);
    box->setAlignment(Qt::AlignRight);
    box->setMaximumWidth(110);
    return box;
}

}  // namespace

InformationPage::InformationPage(Document& document, QWidget* parent)
    : QWidget(parent), document_(document) {
    setObjectName(QStringLiteral("InformationPage"));
    // The page scrolls rather than squeezing eight rows of statistics into a
    // small window.
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* content = new QWidget(scroll);
    scroll->setWidget(content);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);
    auto* layout = new QVBoxLayout(content);

    auto* nameRow = new QHBoxLayout;
    QLabel* nameCaption = Caption(this, Str::kInfoName);
    txtFilename_ = new QLineEdit(this);
    txtFilename_->setObjectName(QStringLiteral("txtFilename"));
    nameCaption->setBuddy(txtFilename_);
    nameRow->addWidget(nameCaption);
    nameRow->addWidget(txtFilename_, 1);
    layout->addLayout(nameRow);

    auto* fraRecording = new QGroupBox(this);
    fraRecording->setObjectName(QStringLiteral("fraRecording"));
    fraRecording->setProperty("Tag", Str::Tag(Str::kInfoRecording));
    auto* recording = new QGridLayout(fraRecording);
    recording->addWidget(Value(fraRecording, "lblAuto"), 0, 0, 1, 4);
    const struct {
        Str::Id caption;
        const char* value;
    } rows[] = {{Str::kInfoTime, "lblDuratio"},
                {Str::kInfoInterval, "lblInterva"},
                {Str::kInfoPoints, "lblPoints"},
                {Str::kInfoStartTime, "lblStart"},
                {Str::kInfoStopTime, "lblStop"}};
    for (int i = 0; i < 5; ++i) {
        const int row = 1 + (i < 3 ? i : i - 3);
        const int column = i < 3 ? 0 : 2;
        recording->addWidget(Caption(fraRecording, rows[i].caption), row, column);
        recording->addWidget(Value(fraRecording, rows[i].value), row, column + 1);
    }
    recording->setColumnStretch(1, 1);
    recording->setColumnStretch(3, 1);
    layout->addWidget(fraRecording);

    fraSummary_ = new QGroupBox(this);
    fraSummary_->setObjectName(QStringLiteral("fraSummary"));
    fraSummary_->setProperty("Tag", Str::Tag(Str::kInfoSummary));
    summary_ = new QGridLayout(fraSummary_);
    const Str::Id headers[] = {Str::kInfoQuantity, Str::kInfoUnit, Str::kInfoMinimum,
                               Str::kInfoMaximum, Str::kInfoMean};
    const int headerColumns[] = {0, 2, 3, 4, 5};
    for (int i = 0; i < 5; ++i)
        summary_->addWidget(Caption(fraSummary_, headers[i]), 0, headerColumns[i]);
    summary_->setColumnStretch(6, 1);
    layout->addWidget(fraSummary_);

    QLabel* notesCaption = Caption(this, Str::kInfoNotes);
    txtNotes_ = new QPlainTextEdit(this);
    txtNotes_->setMinimumHeight(90);
    txtNotes_->setObjectName(QStringLiteral("txtNotes"));
    notesCaption->setBuddy(txtNotes_);
    layout->addWidget(notesCaption);
    layout->addWidget(txtNotes_, 1);

    connect(txtFilename_, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (!showing_) document_.EditTitle(text);
    });
    connect(txtNotes_, &QPlainTextEdit::textChanged, this, [this] {
        if (!showing_)
            document_.EditNotes(
                txtNotes_->toPlainText().replace(QLatin1Char('\n'), QLatin1String("\r\n")));
    });

    document_.AddObserver(this);
    BuildRows();
    ShowInformation();
    ShowStatistics();
}

InformationPage::~InformationPage() {
    document_.RemoveObserver(this);
}

QLabel* InformationPage::Label(const char* name) const {
    return findChild<QLabel*>(QString::fromLatin1(name));
}

QLineEdit* InformationPage::Statistic(int q, int column) const {
    const Row row = rows_.value(q);
    return column == 0 ? row.minimum : column == 1 ? row.maximum : row.mean;
}

void InformationPage::BuildRows() {
    for (QWidget* widget : rowWidgets_) delete widget;
    rowWidgets_.clear();
    rows_.clear();
    for (int q = 0; q < document_.QuantityCount(); ++q) {
        Row row;
        row.check = new QCheckBox(fraSummary_);
        row.check->setObjectName(QStringLiteral("chkQuantity%1").arg(q));
        row.legend = new QLabel(fraSummary_);
        row.legend->setFixedSize(28, 12);
        row.unit = new QLabel(fraSummary_);
        row.unit->setObjectName(QStringLiteral("lblUnits%1").arg(q));
        row.minimum = StatisticBox(fraSummary_);
        row.maximum = StatisticBox(fraSummary_);
        row.mean = StatisticBox(fraSummary_);
        summary_->addWidget(row.check, q + 1, 0);
        summary_->addWidget(row.legend, q + 1, 1);
        summary_->addWidget(row.unit, q + 1, 2);
        summary_->addWidget(row.minimum, q + 1, 3);
        summary_->addWidget(row.maximum, q + 1, 4);
        summary_->addWidget(row.mean, q + 1, 5);
        rowWidgets_ << row.check << row.legend << row.unit << row.minimum << row.maximum
                    << row.mean;
        connect(row.check, &QCheckBox::clicked, this, [this, q](bool on) {
            // A fourth quantity cannot go on the chart: the box stays clear
            // and the message line says why.
            if (document_.SetCharted(q, on)) return;
            rows_[q].check->setChecked(document_.IsCharted(q));
            if (on) emit StatusText(StringTable::Text(Str::kAtMostThreeCharted));
        });
        rows_ << row;
    }
    for (int q = 0; q < rows_.size(); ++q) {
        const QuantityInfo& info = document_.Quantity(q);
        rows_[q].check->setText(CleanInstrumentText(info.Name).trimmed());
        rows_[q].unit->setText(CleanInstrumentText(info.Unit).trimmed());
    }
    ShowCharted();
}

void InformationPage::SetLegendColour(int q, const QColor& colour) {
    if (q < 0 || q >= rows_.size()) return;
    QPixmap line(28, 12);
    line.fill(Qt::transparent);
    if (colour.isValid()) {
        QPainter p(&line);
        p.setPen(QPen(colour, 2));
        p.drawLine(2, 6, 26, 6);
    }
    rows_[q].legend->setPixmap(line);
}

void InformationPage::ShowInformation() {
    showing_ = true;
    if (txtFilename_->text() != document_.Title) txtFilename_->setText(document_.Title);
    const QString notes =
        QString(document_.Notes).replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (txtNotes_->toPlainText() != notes) txtNotes_->setPlainText(notes);
    const InformationTexts& info = document_.Info;
    Label("lblAuto")->setText(info.RecordingKind);
    Label("lblDuratio")->setText(info.Duration);
    Label("lblInterva")->setText(info.Interval);
    Label("lblPoints")->setText(info.Points);
    Label("lblStart")->setText(info.Start);
    Label("lblStop")->setText(info.Stop);
    showing_ = false;
}

void InformationPage::ShowStatistics() {
    for (int q = 0; q < rows_.size(); ++q) {
        rows_[q].minimum->setText(StatisticText(document_, q, StatisticKind::Minimum));
        rows_[q].maximum->setText(StatisticText(document_, q, StatisticKind::Maximum));
        rows_[q].mean->setText(StatisticText(document_, q, StatisticKind::Mean));
    }
}

void InformationPage::ShowCharted() {
    for (int q = 0; q < rows_.size(); ++q) rows_[q].check->setChecked(document_.IsCharted(q));
}

void InformationPage::QuantitiesChanged(const Document&) {
    BuildRows();
}
void InformationPage::InformationChanged(const Document&) {
    ShowInformation();
}
void InformationPage::StatisticsChanged(const Document&) {
    ShowStatistics();
    ShowCharted();
}
void InformationPage::ViewChanged(const Document&) {
    ShowCharted();
}

void InformationPage::contextMenuEvent(QContextMenuEvent* event) {
    emit ContextMenuRequested(event->globalPos());
}
