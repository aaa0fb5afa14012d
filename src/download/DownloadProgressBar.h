#pragma once
// The download's progress as one line of text for a terminal: the file being
// read, its points so far of the points expected, a bar, and the time left at
// the speed the line has shown so far for this file. The tr58 tool redraws it
// on standard error; it is plain text so that its layout is tested without a
// terminal.
//
//   Lab 1                  523/1000 [==============>              ]  52%  0:07 left
//
// When every point has arrived the time left becomes the time the file took
// ("in 0:14"). Without a known total the line shows the points alone.

#include <QString>
#include <QtGlobal>

// The line for a terminal of width columns (the text never exceeds it): the
// file's name, done of total points after elapsedSeconds. A long name is cut
// with an ellipsis; a narrow terminal loses the bar before the numbers.
QString DownloadProgressBarText(int width, const QString& name, qint32 done, qint32 total,
                                double elapsedSeconds);

// Seconds as a clock reading: "0:07", "12:34", "1:02:03" (at most 99:59:59).
QString DownloadClockText(qint64 seconds);
