#include "TerminalView.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QPainter>

#include "TerminalSession.h"

namespace {

// Keys and the library's key codes.
int KeyCode(int key) {
    switch (key) {
        case Qt::Key_Up:
            return 1;
        case Qt::Key_Down:
            return 2;
        case Qt::Key_Right:
            return 3;
        case Qt::Key_Left:
            return 4;
        case Qt::Key_Home:
            return 5;
        case Qt::Key_Delete:
            return 12;
        case Qt::Key_PageDown:
            return 15;
        case Qt::Key_PageUp:
            return 14;
        case Qt::Key_Insert:
            return 17;
        default:
            return 0;
    }
}

}  // namespace

TerminalView::TerminalView(TerminalSession& session, QWidget* parent)
    : QWidget(parent), session_(session) {
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::black);
    p.setColor(QPalette::WindowText, QColor(0xD0, 0xD0, 0xD0));
    setPalette(p);
}

QSize TerminalView::sizeHint() const {
    const Screen& s = session_.GetScreen();
    QFontMetrics fm(font());
    return {fm.horizontalAdvance(QLatin1Char('M')) * s.Columns() + 8, fm.height() * s.Rows() + 8};
}

void TerminalView::paintEvent(QPaintEvent*) {
    Screen& s = session_.GetScreen();
    QPainter painter(this);
    QFontMetrics fm(font());
    const int w = fm.horizontalAdvance(QLatin1Char('M'));
    const int h = fm.height();
    painter.setPen(palette().color(QPalette::WindowText));
    for (int row = 1; row <= s.Rows(); ++row)
        painter.drawText(4, 4 + (row - 1) * h + fm.ascent(), QString::fromLatin1(s.Line(row)));
    const RS_POSITION c = s.Cursor();
    const int column = std::min<int>(c.column, s.Columns());
    painter.fillRect(4 + (column - 1) * w, 4 + (c.row - 1) * h, w, h,
                     hasFocus() ? QColor(0x40, 0xC0, 0x40, 0xA0) : QColor(0x40, 0xC0, 0x40, 0x50));
}

void TerminalView::keyPressEvent(QKeyEvent* event) {
    if (int code = KeyCode(event->key())) {
        session_.SendKey(code);
    } else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        session_.Send("\r");
    } else if (event->key() == Qt::Key_Backspace) {
        session_.Send("\b");
    } else if (event->key() == Qt::Key_Escape) {
        session_.Send("\x1b");
    } else if (!event->text().isEmpty()) {
        session_.Send(event->text().toLatin1());
    } else {
        QWidget::keyPressEvent(event);
    }
}

bool TerminalView::focusNextPrevChild(bool) {
    return false;  // Tab belongs to the line
}
