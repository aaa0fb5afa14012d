#include "chart/frmAxis.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "base/GuiCaptions.h"
#include "base/TextHelpers.h"
#include "chart/AxisForm.h"
#include "chart/ChartNavigator.h"
#include "document/Document.h"

namespace {

constexpr int kRows = 3;

// Texts of the string table, applied by ApplyCaptions when the window loads.
constexpr int kCaptionTitle = 5100;
constexpr int kCaptionUpper = 5021;
constexpr int kCaptionLower = 5022;
constexpr int kCaptionOk = 5023;
constexpr int kCaptionCancel = 5024;
constexpr int kCaptionAutoScale = 5044;
constexpr int kCaptionFirstPoint = 5045;
constexpr int kCaptionLastPoint = 5046;

void SetTag(QWidget* widget, int id) {
    widget->setProperty("Tag", QString::number(id));
}

QString Numbered(const char* name, int index) {
    return QLatin1String(name) + QString::number(index);
}

// An up-down control: two small arrow buttons above each other, repeating
// while held, outside the tab order (the box beside it takes the keys).
QWidget* MakeUpDown(QWidget* parent, const QString& name, QToolButton*& up, QToolButton*& down) {
    auto* box = new QWidget(parent);
    box->setObjectName(name);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const auto button = [box, layout](Qt::ArrowType arrow, const QString& buttonName) {
        auto* b = new QToolButton(box);
        b->setObjectName(buttonName);
        b->setArrowType(arrow);
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setFixedSize(18, 11);
        layout->addWidget(b);
        return b;
    };
    up = button(Qt::UpArrow, name + QStringLiteral("Up"));
    down = button(Qt::DownArrow, name + QStringLiteral("Down"));
    return box;
}

QLineEdit* MakeBox(QWidget* parent, const QString& name, int width) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setFixedWidth(width);
    box->setAlignment(Qt::AlignRight);
    return box;
}

}  // namespace

frmAxis::frmAxis(Document& document, ChartNavigator& navigator, QWidget* parent)
    : QDialog(parent), document_(document), navigator_(navigator) {
    setObjectName(QStringLiteral("frmAxis"));
    SetTag(this, kCaptionTitle);
    setModal(true);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    for (int i = 0; i < kRows; ++i) {
        Row row;
        row.lblQuantity = new QLabel(this);
        row.lblQuantity->setObjectName(Numbered("lblQuantity", i));
        row.lblQuantity->setMinimumWidth(60);
        row.lblUnit = new QLabel(this);
        row.lblUnit->setObjectName(Numbered("lblUnit", i));
        row.lblUnit->setMinimumWidth(40);
        row.chkAutoScale = new QCheckBox(this);
        row.chkAutoScale->setObjectName(Numbered("chkAutoScale", i));
        SetTag(row.chkAutoScale, kCaptionAutoScale);
        row.lblUpper = new QLabel(this);
        row.lblUpper->setObjectName(Numbered("lblUpper", i));
        SetTag(row.lblUpper, kCaptionUpper);
        row.txtUpper = MakeBox(this, Numbered("txtUpper", i), 80);
        row.lblUpper->setBuddy(row.txtUpper);
        QToolButton* upperUp = nullptr;
        QToolButton* upperDown = nullptr;
        row.updUpper = MakeUpDown(this, Numbered("updUpper", i), upperUp, upperDown);
        row.lblLower = new QLabel(this);
        row.lblLower->setObjectName(Numbered("lblLower", i));
        SetTag(row.lblLower, kCaptionLower);
        row.txtLower = MakeBox(this, Numbered("txtLower", i), 80);
        row.lblLower->setBuddy(row.txtLower);
        QToolButton* lowerUp = nullptr;
        QToolButton* lowerDown = nullptr;
        row.updLower = MakeUpDown(this, Numbered("updLower", i), lowerUp, lowerDown);

        int column = 0;
        grid->addWidget(row.lblQuantity, i, column++);
        grid->addWidget(row.lblUnit, i, column++);
        grid->addWidget(row.chkAutoScale, i, column++);
        grid->addWidget(row.lblUpper, i, column++);
        grid->addWidget(row.txtUpper, i, column++);
        grid->addWidget(row.updUpper, i, column++);
        grid->addWidget(row.lblLower, i, column++);
        grid->addWidget(row.txtLower, i, column++);
        grid->addWidget(row.updLower, i, column++);

        connect(row.chkAutoScale, &QCheckBox::toggled, this, [this, i] { AutoScaleToggled(i); });
        connect(upperUp, &QToolButton::clicked, this,
                [this, i] { StepBound(rows_[i].txtUpper, rows_[i].quantity, true); });
        connect(upperDown, &QToolButton::clicked, this,
                [this, i] { StepBound(rows_[i].txtUpper, rows_[i].quantity, false); });
        connect(lowerUp, &QToolButton::clicked, this,
                [this, i] { StepBound(rows_[i].txtLower, rows_[i].quantity, true); });
        connect(lowerDown, &QToolButton::clicked, this,
                [this, i] { StepBound(rows_[i].txtLower, rows_[i].quantity, false); });
        rows_.append(row);
    }

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto* pointGrid = new QGridLayout;
    pointGrid->setHorizontalSpacing(6);
    const int pointCaptions[2] = {kCaptionFirstPoint, kCaptionLastPoint};
    for (int i = 0; i < 2; ++i) {
        PointRow& point = points_[i];
        point.lblPoint = new QLabel(this);
        point.lblPoint->setObjectName(Numbered("lblPoint", i));
        SetTag(point.lblPoint, pointCaptions[i]);
        point.txtPoint = MakeBox(this, Numbered("txtPoint", i), 70);
        point.lblPoint->setBuddy(point.txtPoint);
        QToolButton* up = nullptr;
        QToolButton* down = nullptr;
        point.updPoint = MakeUpDown(this, Numbered("updPoint", i), up, down);
        point.txtDate = new QLineEdit(this);
        point.txtDate->setObjectName(Numbered("txtDate", i));
        point.txtDate->setReadOnly(true);
        point.txtDate->setFocusPolicy(Qt::NoFocus);
        point.txtDate->setMinimumWidth(150);
        pointGrid->addWidget(point.lblPoint, i, 0);
        pointGrid->addWidget(point.txtPoint, i, 1);
        pointGrid->addWidget(point.updPoint, i, 2);
        pointGrid->addWidget(point.txtDate, i, 3);
        connect(up, &QToolButton::clicked, this, [this, i] { StepPoint(i, true); });
        connect(down, &QToolButton::clicked, this, [this, i] { StepPoint(i, false); });
        connect(point.txtPoint, &QLineEdit::editingFinished, this, [this, i] { ShowPointTime(i); });
    }
    pointGrid->setColumnStretch(4, 1);

    auto* cmdOK = new QPushButton(this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    SetTag(cmdOK, kCaptionOk);
    cmdOK->setDefault(true);
    auto* cmdCancel = new QPushButton(this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    SetTag(cmdCancel, kCaptionCancel);
    connect(cmdOK, &QPushButton::clicked, this, &frmAxis::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &frmAxis::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(line);
    layout->addLayout(pointGrid);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    ApplyCaptions(this);
    Fill();
}

void frmAxis::Fill() {
    const qint32 count = document_.PointCount();
    QList<int> drawn;
    for (int q = 0; q < document_.QuantityCount() && drawn.size() < kRows; ++q) {
        if (document_.IsCharted(q)) drawn.append(q);
    }
    editable_ = count >= 2 && document_.QuantityCount() > 0;

    for (int i = 0; i < kRows; ++i) {
        Row& row = rows_[i];
        const bool used = editable_ && i < drawn.size();
        for (QWidget* widget :
             {static_cast<QWidget*>(row.lblQuantity), static_cast<QWidget*>(row.lblUnit),
              static_cast<QWidget*>(row.chkAutoScale), static_cast<QWidget*>(row.lblUpper),
              static_cast<QWidget*>(row.txtUpper), row.updUpper,
              static_cast<QWidget*>(row.lblLower), static_cast<QWidget*>(row.txtLower),
              row.updLower}) {
            widget->setVisible(used);
        }
        if (!used) continue;
        const int q = drawn.at(i);
        row.quantity = q;
        const QuantityInfo& quantity = document_.Quantity(q);
        row.lblQuantity->setText(CleanInstrumentText(quantity.Name.trimmed()));
        row.lblUnit->setText(CleanInstrumentText(quantity.Unit.trimmed()));
        row.txtUpper->setText(BoundText(document_.GetScaleValue(true, q), document_.GetDecs(q)));
        row.txtLower->setText(BoundText(document_.GetScaleValue(false, q), document_.GetDecs(q)));
        row.chkAutoScale->setChecked(document_.GetAutoScale(q));
        AutoScaleToggled(i);
    }

    qint32 first = 0;
    qint32 last = 0;
    qint32 points = 0;
    document_.GetPoints(first, last, points);
    const qint32 values[2] = {first, last};
    for (int i = 0; i < 2; ++i) {
        PointRow& point = points_[i];
        for (QWidget* widget :
             {static_cast<QWidget*>(point.lblPoint), static_cast<QWidget*>(point.txtPoint),
              point.updPoint, static_cast<QWidget*>(point.txtDate)}) {
            widget->setVisible(editable_);
        }
        if (!editable_) continue;
        point.txtPoint->setText(QString::number(values[i]));
        ShowPointTime(i);
    }
}

void frmAxis::AutoScaleToggled(int index) {
    Row& row = rows_[index];
    const bool automatic = row.chkAutoScale->isChecked();
    for (QWidget* widget :
         {static_cast<QWidget*>(row.lblUpper), static_cast<QWidget*>(row.txtUpper), row.updUpper,
          static_cast<QWidget*>(row.lblLower), static_cast<QWidget*>(row.txtLower), row.updLower}) {
        widget->setEnabled(!automatic);
    }
    if (automatic && row.quantity >= 0) {
        const int q = row.quantity;
        row.txtUpper->setText(BoundText(document_.GetScaleValue(true, q), document_.GetDecs(q)));
        row.txtLower->setText(BoundText(document_.GetScaleValue(false, q), document_.GetDecs(q)));
    }
}

void frmAxis::StepBound(QLineEdit* box, int quantity, bool up) {
    if (quantity < 0) return;
    if (const std::optional<QString> text =
            ::StepBoundText(box->text(), document_.GetDecs(quantity), up))
        box->setText(*text);
}

void frmAxis::StepPoint(int index, bool up) {
    const qint32 count = document_.PointCount();
    QLineEdit* box = points_[index].txtPoint;
    const std::optional<qint32> now = ParsePointText(box->text());
    const qint32 from = now ? std::clamp(*now, 1, std::max(count, 1)) : (up ? 0 : count + 1);
    box->setText(QString::number(::StepPoint(from, count, up)));
    ShowPointTime(index);
}

void frmAxis::ShowPointTime(int index) {
    const std::optional<qint32> point = ParsePointText(points_[index].txtPoint->text());
    if (point && *point >= 1 && *point <= document_.PointCount())
        points_[index].txtDate->setText(document_.strGetTime(*point - 1));
}

void frmAxis::accept() {
    if (!editable_) {
        QDialog::accept();
        return;
    }
    AxisEntries entries;
    for (const Row& row : rows_) {
        if (row.quantity < 0) continue;
        entries.rows.append(AxisRowEntry{row.quantity, row.chkAutoScale->isChecked(),
                                         row.txtUpper->text(), row.txtLower->text()});
    }
    entries.firstPoint = points_[0].txtPoint->text();
    entries.lastPoint = points_[1].txtPoint->text();

    if (const std::optional<AxisBoxRef> refused =
            FirstRefusedBox(entries, document_.PointCount())) {
        QLineEdit* box = nullptr;
        switch (refused->box) {
            case AxisBox::Upper:
                box = rows_[refused->row].txtUpper;
                break;
            case AxisBox::Lower:
                box = rows_[refused->row].txtLower;
                break;
            case AxisBox::FirstPoint:
                box = points_[0].txtPoint;
                break;
            case AxisBox::LastPoint:
                box = points_[1].txtPoint;
                break;
        }
        box->setFocus(Qt::OtherFocusReason);
        box->selectAll();
        return;
    }
    ApplyAxisEntries(entries, document_, navigator_);
    QDialog::accept();
}
