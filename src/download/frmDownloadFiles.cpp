#include "download/frmDownloadFiles.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "base/GuiCaptions.h"
#include "base/GuiImages.h"
#include "base/MessageKeys.h"
#include "base/StringIds.h"
#include "base/StringTable.h"
#include "base/UserLocale.h"
#include "download/DirectoryReader.h"
#include "download/Download.h"
#include "download/DownloadHost.h"
#include "download/FileDeletion.h"
#include "link/Link.h"

namespace {

QPushButton* Button(QWidget* parent, const char* name, Str::Id tag) {
    auto* button = new QPushButton(Str::Tag(tag), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setProperty("Tag", Str::Tag(tag));
    button->setAutoDefault(false);
    return button;
}

// The sort arrows of the list's headers.
QIcon Arrow(bool down) {
    QPixmap pixmap(12, 12);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 70, 90));
    QPolygonF arrow;
    if (down)
        arrow << QPointF(2, 4) << QPointF(10, 4) << QPointF(6, 9);
    else
        arrow << QPointF(2, 8) << QPointF(10, 8) << QPointF(6, 3);
    p.drawPolygon(arrow);
    return QIcon(pixmap);
}

}  // namespace

frmDownloadFiles::frmDownloadFiles(DownloadHost& host, bool bDeleteFiles)
    : QDialog(host.HostWindow()), main_(host), bDeleteFiles_(bDeleteFiles) {
    setObjectName(QStringLiteral("frmDownloadFiles"));
    setProperty("Tag", Str::Tag(Str::kDownloadFilesTitle));
    setWindowIcon(host.HostWindow()->windowIcon());

    lblFiles_ = new QLabel(this);
    lblFiles_->setProperty("Tag", Str::Tag(Str::kChooseFilesToDownload));
    lvwDownload_ = new QTreeWidget(this);
    lvwDownload_->setObjectName(QStringLiteral("lvwDownload"));
    lvwDownload_->setColumnCount(4);
    lvwDownload_->setProperty(
        "ColumnTags", QStringList{Str::Tag(Str::kColumnName), Str::Tag(Str::kColumnFirstPoint),
                                  Str::Tag(Str::kColumnPoints), Str::Tag(Str::kColumnStatus)});
    lvwDownload_->setRootIsDecorated(false);
    lvwDownload_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lvwDownload_->setAllColumnsShowFocus(true);
    lvwDownload_->setMinimumSize(520, 180);
    lvwDownload_->header()->setSectionsClickable(true);
    lvwDownload_->header()->setSortIndicatorShown(false);
    lblFiles_->setBuddy(lvwDownload_);

    fraPartialDownload_ = new QGroupBox(this);
    fraPartialDownload_->setObjectName(QStringLiteral("fraPartialDownload"));
    fraPartialDownload_->setProperty("Tag", Str::Tag(Str::kPartialDownload));
    optNewestData_ = new QRadioButton(fraPartialDownload_);
    optNewestData_->setObjectName(QStringLiteral("optNewestData"));
    optNewestData_->setProperty("Tag", Str::Tag(Str::kNewestData));
    optDateTimeRange_ = new QRadioButton(fraPartialDownload_);
    optDateTimeRange_->setObjectName(QStringLiteral("optDateTimeRange"));
    optDateTimeRange_->setProperty("Tag", Str::Tag(Str::kDateTimeRange));
    txtFromDate_ = new QLineEdit(fraPartialDownload_);
    txtFromDate_->setObjectName(QStringLiteral("txtFromDate"));
    cboFromTime_ = new QComboBox(fraPartialDownload_);
    cboFromTime_->setObjectName(QStringLiteral("cboFromTime"));
    cmdFromSelect_ = new QPushButton(QStringLiteral("..."), fraPartialDownload_);
    cmdFromSelect_->setObjectName(QStringLiteral("cmdFromSelect"));
    cmdFromSelect_->setProperty("ToolTipText", Str::Tag(Str::kTipChooseDate));
    lblTo_ = new QLabel(fraPartialDownload_);
    lblTo_->setObjectName(QStringLiteral("lblTo"));
    lblTo_->setProperty("Tag", Str::Tag(Str::kRangeTo));
    txtToDate_ = new QLineEdit(fraPartialDownload_);
    txtToDate_->setObjectName(QStringLiteral("txtToDate"));
    cboToTime_ = new QComboBox(fraPartialDownload_);
    cboToTime_->setObjectName(QStringLiteral("cboToTime"));
    cmdToSelect_ = new QPushButton(QStringLiteral("..."), fraPartialDownload_);
    cmdToSelect_->setObjectName(QStringLiteral("cmdToSelect"));
    cmdToSelect_->setProperty("ToolTipText", Str::Tag(Str::kTipChooseDate));
    for (QPushButton* select : {cmdFromSelect_, cmdToSelect_}) {
        select->setFixedWidth(30);
        select->setAutoDefault(false);
    }
    for (QComboBox* hours : {cboFromTime_, cboToTime_}) {
        hours->setEditable(true);
        for (int hour = 0; hour < 24; ++hour)
            hours->addItem(
                UserLocale::Locale().toString(QTime(hour, 0), UserLocale::LongTimeFormat()));
    }
    auto* range = new QGridLayout(fraPartialDownload_);
    range->addWidget(optNewestData_, 0, 0, 1, 4);
    range->addWidget(optDateTimeRange_, 1, 0, 1, 4);
    range->addWidget(txtFromDate_, 2, 0);
    range->addWidget(cboFromTime_, 2, 1);
    range->addWidget(cmdFromSelect_, 2, 2);
    range->addWidget(lblTo_, 2, 3, Qt::AlignCenter);
    range->addWidget(txtToDate_, 2, 4);
    range->addWidget(cboToTime_, 2, 5);
    range->addWidget(cmdToSelect_, 2, 6);
    mvwCalendar_ = new QCalendarWidget(this);
    mvwCalendar_->setObjectName(QStringLiteral("mvwCalendar"));
    mvwCalendar_->setWindowFlags(Qt::Popup);
    mvwCalendar_->hide();

    chkDelete_ = new QCheckBox(this);
    chkDelete_->setObjectName(QStringLiteral("chkDelete"));
    chkDelete_->setProperty("Tag", Str::Tag(Str::kDeleteAfterDownload));
    // A file read by date/time range is not downloaded whole: the deletion
    // that follows leaves it on the instrument, and the user is told before.
    lblKeepNote_ = new QLabel(this);
    lblKeepNote_->setObjectName(QStringLiteral("lblKeepNote"));
    lblKeepNote_->setProperty("Tag", Str::Tag(Str::kRangeFilesKept));
    lblKeepNote_->setWordWrap(true);
    lblKeepNote_->hide();
    cmdDownload_ = Button(this, "cmdDownload", Str::kButtonDownload);
    cmdDelete_ = Button(this, "cmdDelete", Str::kButtonDelete);
    cmdCancel_ = Button(this, "cmdCancel", Str::kButtonCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblFiles_);
    layout->addWidget(lvwDownload_, 1);
    layout->addWidget(fraPartialDownload_);
    layout->addWidget(chkDelete_);
    layout->addWidget(lblKeepNote_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdDownload_);
    buttons->addWidget(cmdDelete_);
    buttons->addWidget(cmdCancel_);
    layout->addLayout(buttons);

    ApplyCaptions(this);

    if (bDeleteFiles_) {
        cmdDownload_->hide();
        cmdDelete_->show();
        cmdCancel_->setDefault(true);
        chkDelete_->hide();
        setWindowTitle(StringTable::Text(Str::kDeleteFilesTitle));
        lblFiles_->setText(StringTable::Text(Str::kChooseFilesToDelete));
        fraPartialDownload_->hide();
    } else {
        cmdDelete_->hide();
        cmdDownload_->setDefault(true);
        optNewestData_->setChecked(true);
        SetRangeEnabled(false);
        chkDelete_->setEnabled(false);
    }
    // Until the directory is read the range is today's; then it follows the
    // files (FollowSelectionWithRange).
    const QString today =
        UserLocale::Locale().toString(QDate::currentDate(), UserLocale::ShortDateFormat());
    txtFromDate_->setText(today);
    txtToDate_->setText(today);
    mvwCalendar_->setSelectedDate(QDate::currentDate());

    connect(lvwDownload_, &QTreeWidget::itemSelectionChanged, this,
            &frmDownloadFiles::ApplySelectionRules);
    connect(lvwDownload_->header(), &QHeaderView::sectionClicked, this,
            [this](int section) { SortByColumn(section + 1); });
    connect(lvwDownload_, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (!bDeleteFiles_ && cmdDownload_->isEnabled()) cmdDownload_Click();
    });
    connect(optNewestData_, &QRadioButton::toggled, this, [this](bool on) {
        SetRangeEnabled(!on);
        ShowKeepNote();
    });
    connect(chkDelete_, &QCheckBox::toggled, this, &frmDownloadFiles::ShowKeepNote);
    connect(cmdDownload_, &QPushButton::clicked, this, &frmDownloadFiles::cmdDownload_Click);
    connect(cmdDelete_, &QPushButton::clicked, this, &frmDownloadFiles::cmdDelete_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &frmDownloadFiles::reject);
    connect(cmdFromSelect_, &QPushButton::clicked, this, [this] { ShowCalendar(true); });
    connect(cmdToSelect_, &QPushButton::clicked, this, [this] { ShowCalendar(false); });
    for (QLineEdit* box : {txtFromDate_, txtToDate_})
        connect(box, &QLineEdit::textEdited, this, [this] { rangeEdited_ = true; });
    for (QComboBox* hours : {cboFromTime_, cboToTime_}) {
        connect(hours->lineEdit(), &QLineEdit::textEdited, this, [this] { rangeEdited_ = true; });
        connect(hours, &QComboBox::activated, this, [this] { rangeEdited_ = true; });
    }
    connect(mvwCalendar_, &QCalendarWidget::clicked, this, [this](QDate date) {
        rangeEdited_ = true;
        mvwCalendar_->hide();
        (calendarForFrom_ ? txtFromDate_ : txtToDate_)
            ->setText(UserLocale::Locale().toString(date, UserLocale::ShortDateFormat()));
    });
    connect(txtFromDate_, &QLineEdit::editingFinished, this,
            [this] { NormaliseDate(txtFromDate_); });
    connect(txtToDate_, &QLineEdit::editingFinished, this, [this] { NormaliseDate(txtToDate_); });
    for (QComboBox* hours : {cboFromTime_, cboToTime_})
        connect(hours->lineEdit(), &QLineEdit::editingFinished, this,
                [this, hours] { NormaliseTime(hours); });

    limitQuestion = [this] {
        // With deletion chosen, the cut file stays on the instrument: say so
        // before the user decides.
        QString text = StringTable::Text(Str::kResultLimit);
        if (chkDelete_->isChecked()) text += StringTable::Text(Str::kResultLimitFileKept);
        return QMessageBox::question(this, main_.ApplicationTitle(), text,
                                     QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
    };
    deleteQuestion = [this](const QString& text) {
        // Deleting cannot be undone: No is the default.
        return QMessageBox::question(this, main_.ApplicationTitle(), text,
                                     QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No) == QMessageBox::Yes;
    };
}

bool frmDownloadFiles::Load() {
    loaded_ = true;
    readable_ = false;
    Link& link = main_.GetLink();
    busy_ = true;
    const DirectoryResult result = ReadDirectory(link, entries_, true);
    busy_ = false;
    if (result != DirectoryResult::Listed) {
        Finish();
        return false;
    }
    rangeOffered_ = AnyRangeCapable(entries_);
    FillList();
    sort_ = DirSortState();
    ApplySelectionRules();
    readable_ = true;
    return true;
}

int frmDownloadFiles::exec() {
    // A directory that could not be read (or holds no files) closes the dialog
    // at once; the reason has been shown.
    if (!loaded_) Load();
    if (!readable_) return QDialog::Rejected;
    main_.SetStatusText(StringTable::Text(Str::kReady));
    return QDialog::exec();
}

void frmDownloadFiles::FillList() {
    lvwDownload_->blockSignals(true);
    lvwDownload_->clear();
    for (const DirEntry& entry : entries_) {
        auto* item = new QTreeWidgetItem(lvwDownload_);
        item->setData(0, Qt::UserRole, entry.Key);
        item->setText(0, entry.Name);
        item->setIcon(0, ToolbarImage(QStringLiteral("Document")));
        item->setText(1, entry.FirstPointText);
        item->setText(2, QString::number(entry.PointTotal));
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        item->setText(3, StatusText(entry));
        // In delete mode a file that cannot be deleted looks greyed; it can
        // still be selected (the rules then refuse the deletion).
        if (bDeleteFiles_ && !entry.Deletable())
            for (int c = 0; c < 4; ++c) item->setForeground(c, QColor(140, 140, 140));
        item->setSelected(entry.Selected != 0);
    }
    for (int c = 0; c < 4; ++c) lvwDownload_->resizeColumnToContents(c);
    lvwDownload_->blockSignals(false);
}

void frmDownloadFiles::StoreSelection() {
    for (int i = 0; i < lvwDownload_->topLevelItemCount() && i < entries_.size(); ++i)
        entries_[i].Selected = lvwDownload_->topLevelItem(i)->isSelected() ? 1 : 0;
}

void frmDownloadFiles::SelectFiles(const QList<int>& indexes) {
    for (int i = 0; i < lvwDownload_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = lvwDownload_->topLevelItem(i);
        item->setSelected(indexes.contains(entries_.at(i).Index));
    }
}

void frmDownloadFiles::ApplySelectionRules() {
    StoreSelection();
    const DirSelectionRules rules = SelectionRules(entries_);
    cmdDownload_->setEnabled(rules.actionEnabled);
    cmdDelete_->setEnabled(rules.deleteEnabled);
    chkDelete_->setEnabled(rules.deleteAfterEnabled);
    if (!rules.deleteAfterEnabled) chkDelete_->setChecked(false);
    optDateTimeRange_->setEnabled(rangeOffered_ && rules.rangeEnabled);
    if (!optDateTimeRange_->isEnabled() && optDateTimeRange_->isChecked())
        optNewestData_->setChecked(true);
    // A delete button that is off says why: the files the instrument keeps.
    const QString reason = DeleteRefusedReason(entries_);
    const QString tip = bDeleteFiles_ ? reason : QString();
    cmdDelete_->setToolTip(tip);
    chkDelete_->setToolTip(bDeleteFiles_ ? QString() : reason);
    if (loaded_ && bDeleteFiles_)
        main_.SetStatusText(tip.isEmpty() ? StringTable::Text(Str::kReady) : tip);
    if (!bDeleteFiles_) FollowSelectionWithRange();
}

void frmDownloadFiles::FollowSelectionWithRange() {
    if (rangeEdited_) return;
    const auto span = RangeSpan(entries_);
    if (!span) return;
    const QLocale& locale = UserLocale::Locale();
    const auto show = [&locale](const QDateTime& time, QLineEdit* date, QComboBox* hours) {
        date->setText(locale.toString(time.date(), UserLocale::ShortDateFormat()));
        hours->setEditText(locale.toString(time.time(), UserLocale::LongTimeFormat()));
    };
    show(span->first, txtFromDate_, cboFromTime_);
    // A file logged by hand has no known last point: the range ends now.
    show(span->second.isValid() ? span->second : QDateTime::currentDateTime(), txtToDate_,
         cboToTime_);
}

void frmDownloadFiles::SortByColumn(int column) {
    if (column < 1 || column > 4) return;
    StoreSelection();
    const bool ascending = sort_.Click(static_cast<DirColumn>(column));
    SortDirEntries(entries_, static_cast<DirColumn>(column), ascending);
    for (int c = 0; c < 4; ++c)
        lvwDownload_->headerItem()->setIcon(c, c == column - 1 ? Arrow(ascending) : QIcon());
    FillList();
    ApplySelectionRules();
}

void frmDownloadFiles::ShowKeepNote() {
    lblKeepNote_->setVisible(!bDeleteFiles_ && chkDelete_->isChecked() &&
                             optDateTimeRange_->isChecked());
}

void frmDownloadFiles::SetRangeEnabled(bool enabled) {
    for (QWidget* w : std::initializer_list<QWidget*>{txtFromDate_, cboFromTime_, cmdFromSelect_,
                                                      lblTo_, txtToDate_, cboToTime_, cmdToSelect_})
        w->setEnabled(enabled);
}

void frmDownloadFiles::ShowCalendar(bool forFrom) {
    calendarForFrom_ = forFrom;
    // The calendar opens on the date in its box (the files' month), today
    // only when the box holds no date.
    const QDate shown =
        ReadUserDate((forFrom ? txtFromDate_ : txtToDate_)->text()).value_or(QDate::currentDate());
    mvwCalendar_->setSelectedDate(shown);
    mvwCalendar_->setCurrentPage(shown.year(), shown.month());
    QPushButton* button = forFrom ? cmdFromSelect_ : cmdToSelect_;
    const QSize size = mvwCalendar_->sizeHint();
    QPoint at = button->mapToGlobal(QPoint(0, button->height()));
    if (!forFrom) at.rx() += button->width() - size.width();
    mvwCalendar_->move(at);
    mvwCalendar_->show();
}

void frmDownloadFiles::NormaliseDate(QLineEdit* box) {
    if (const auto date = ReadUserDate(box->text()))
        box->setText(UserLocale::Locale().toString(*date, UserLocale::ShortDateFormat()));
}

void frmDownloadFiles::NormaliseTime(QComboBox* box) {
    if (const auto time = ReadUserTime(box->currentText()))
        box->setEditText(UserLocale::Locale().toString(*time, UserLocale::LongTimeFormat()));
}

void frmDownloadFiles::cmdDownload_Click() {
    Link& link = main_.GetLink();
    if (!link.WaitLinkIdleOrSay()) return;
    StoreSelection();
    DownloadSession::Options options;
    options.range = optDateTimeRange_->isChecked();
    if (options.range) {
        QString fromDate = txtFromDate_->text(), fromTime = cboFromTime_->currentText();
        QString toDate = txtToDate_->text(), toTime = cboToTime_->currentText();
        const bool valid = RangeCheck(fromDate, fromTime, toDate, toTime, options.from, options.to);
        txtFromDate_->setText(fromDate);
        cboFromTime_->setEditText(fromTime);
        txtToDate_->setText(toDate);
        cboToTime_->setEditText(toTime);
        if (!valid) {
            main_.ShowMessage(MessageKeys::kInvalidDate);
            return;
        }
    }
    options.deleteAfter = chkDelete_->isChecked();
    hide();
    busy_ = true;
    DownloadSession session(link);
    const auto sink = [this](const DirEntry&, int, QString& reply) {
        return main_.AddDownloadedDocument(reply);
    };
    const DownloadSession::Outcome outcome = session.Run(entries_, options, sink, limitQuestion);
    if (outcome == DownloadSession::Outcome::Done && options.deleteAfter) {
        busy_ = false;
        // Only files that are whole in a document go; a file cut at 65000
        // points or read by range keeps its other readings on the instrument.
        session.KeepIncomplete(entries_);
        if (SelectedCount(entries_) > 0)
            DeleteSelectedFiles(link, entries_, true);
        else
            link.CloseLink();
    }
    busy_ = false;
    // A file the instrument ended early looks whole in its window.
    QStringList endedEarly;
    for (const DownloadSession::EndedEarly& file : session.FilesEndedEarly())
        endedEarly << EndedEarlyText(file);
    if (!endedEarly.isEmpty())
        main_.PresentText(QStringLiteral("File Ended Early"),
                          endedEarly.join(QStringLiteral("\n\n")), false);
    main_.SetStatusText(StringTable::Text(Str::kReady));
    Finish();
    accept();
}

void frmDownloadFiles::cmdDelete_Click() {
    Link& link = main_.GetLink();
    if (!link.WaitLinkIdleOrSay()) return;
    StoreSelection();
    if (SelectedCount(entries_) == 0 || !deleteQuestion ||
        !deleteQuestion(DeleteQuestionText(entries_)))
        return;
    hide();
    busy_ = true;
    DeleteSelectedFiles(link, entries_, false);
    busy_ = false;
    Finish();
    accept();
}

void frmDownloadFiles::Finish() {
    Link& link = main_.GetLink();
    // Closed while a real-time poll waits for its reply: the link is the poll's, which ends
    // its own command. Ending it here stopped the poll's wait and lost its reading.
    if (!link.IsRealTimeBusy()) {
        if (link.IsCommunicating()) link.Progress().Unload();
        link.EndSequence();
    }
    link.ClearFailed();
    main_.MainFocus();
}

void frmDownloadFiles::reject() {
    if (busy_) {
        main_.ShowMessage(MessageKeys::kWaitProcess);
        return;
    }
    Finish();
    // The reason a deletion was refused goes with the dialog.
    if (bDeleteFiles_) main_.SetStatusText(StringTable::Text(Str::kReady));
    QDialog::reject();
}

void frmDownloadFiles::closeEvent(QCloseEvent* event) {
    if (busy_) {
        main_.ShowMessage(MessageKeys::kWaitProcess);
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}
