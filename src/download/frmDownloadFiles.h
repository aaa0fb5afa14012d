#pragma once
// The instrument's file dialog: lists the recorded data files ("DIR") and
// downloads the selected ones (whole, newest data or a date/time range) into
// new document windows, or, in delete mode, deletes them in the instrument.

#include <QDialog>
#include <QList>

#include "download/DirEntry.h"

class QCalendarWidget;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTreeWidget;
class DownloadHost;

class frmDownloadFiles : public QDialog {
    Q_OBJECT
public:
    // bDeleteFiles: delete mode instead of download mode.
    frmDownloadFiles(DownloadHost& host, bool bDeleteFiles);

    // Reads the directory. False when there is nothing to show (the failure
    // or "No Files" has been reported); the dialog then closes at once.
    bool Load();
    int exec() override;

    const QList<DirEntry>& Entries() const { return entries_; }
    bool Busy() const { return busy_; }

    // The buttons and the column headers, as the user works them.
    void cmdDownload_Click();
    void cmdDelete_Click();
    void SortByColumn(int column);
    void SelectFiles(const QList<int>& indexes);

    QTreeWidget* lvwDownload() const { return lvwDownload_; }
    QCheckBox* chkDelete() const { return chkDelete_; }
    QRadioButton* optDateTimeRange() const { return optDateTimeRange_; }
    QRadioButton* optNewestData() const { return optNewestData_; }
    QLineEdit* txtFromDate() const { return txtFromDate_; }
    QLineEdit* txtToDate() const { return txtToDate_; }
    QComboBox* cboFromTime() const { return cboFromTime_; }
    QComboBox* cboToTime() const { return cboToTime_; }
    QPushButton* cmdDownload() const { return cmdDownload_; }
    QPushButton* cmdDelete() const { return cmdDelete_; }
    QCalendarWidget* mvwCalendar() const { return mvwCalendar_; }
    void ShowCalendar(bool forFrom);

    // Asked when a reply was cut at 65000 points (OK goes on); tests answer it.
    std::function<bool()> limitQuestion;
    // Asked before files are deleted in the instrument, with the question's
    // text (Yes deletes); tests answer it.
    std::function<bool(const QString& text)> deleteQuestion;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void FillList();
    void StoreSelection();
    void ApplySelectionRules();
    void SetRangeEnabled(bool enabled);
    void FollowSelectionWithRange();
    void ShowKeepNote();
    void NormaliseDate(QLineEdit* box);
    void NormaliseTime(QComboBox* box);
    void Finish();

    DownloadHost& main_;  // the program around the dialog
    bool bDeleteFiles_;
    QList<DirEntry> entries_;
    DirSortState sort_;
    bool busy_ = false;
    bool loaded_ = false;
    bool readable_ = false;  // the directory was read and lists files
    bool rangeOffered_ = false;
    bool calendarForFrom_ = true;
    bool rangeEdited_ =
        false;  // the user changed a range field: it no longer follows the selection

    QLabel* lblFiles_;
    QTreeWidget* lvwDownload_;
    QGroupBox* fraPartialDownload_;
    QRadioButton* optNewestData_;
    QRadioButton* optDateTimeRange_;
    QLineEdit* txtFromDate_;
    QComboBox* cboFromTime_;
    QPushButton* cmdFromSelect_;
    QLabel* lblTo_;
    QLineEdit* txtToDate_;
    QComboBox* cboToTime_;
    QPushButton* cmdToSelect_;
    QCalendarWidget* mvwCalendar_;
    QCheckBox* chkDelete_;
    QLabel* lblKeepNote_;
    QPushButton* cmdDownload_;
    QPushButton* cmdDelete_;
    QPushButton* cmdCancel_;
};
