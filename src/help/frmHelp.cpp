#include "help/frmHelp.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QImage>
#include <QScreen>
#include <QStyle>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

#include "base/StringIds.h"
#include "base/StringTable.h"
#include "help/HelpTopics.h"

QPointer<frmHelp> frmHelp::current_;

namespace {

// Pictures wider than this are shown scaled down, smoothly, so that a page
// reads without scrolling sideways; the document scales only roughly.
constexpr int kPictureWidth = 640;

class ManualBrowser : public QTextBrowser {
public:
    using QTextBrowser::QTextBrowser;

    QVariant loadResource(int type, const QUrl& name) override {
        QVariant resource = QTextBrowser::loadResource(type, name);
        if (type != QTextDocument::ImageResource || !resource.isValid()) return resource;
        QImage picture;
        if (resource.canConvert<QByteArray>() && resource.userType() == QMetaType::QByteArray)
            picture.loadFromData(resource.toByteArray());
        else
            picture = resource.value<QImage>();
        if (picture.isNull() || picture.width() <= kPictureWidth) return resource;
        return picture.scaledToWidth(kPictureWidth, Qt::SmoothTransformation);
    }
};

// The object and class names from control out to its window.
QStringList NamesOutwards(QWidget* control) {
    QStringList names;
    for (QWidget* w = control; w; w = w->parentWidget()) {
        if (!w->objectName().isEmpty()) names << w->objectName();
        names << QString::fromLatin1(w->metaObject()->className());
        if (w->isWindow()) break;
    }
    return names;
}

}  // namespace

frmHelp::frmHelp(QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName(QStringLiteral("frmHelp"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(StringTable::Text(Str::kHelpTitle));

    const auto button = [this](Str::Id text, QStyle::StandardPixmap icon, const char* name) {
        auto* b = new QToolButton(this);
        b->setObjectName(QLatin1String(name));
        b->setText(StringTable::Text(text));
        b->setIcon(style()->standardIcon(icon));
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setAutoRaise(true);
        return b;
    };
    cmdBack = button(Str::kHelpBack, QStyle::SP_ArrowBack, "cmdBack");
    cmdForward = button(Str::kHelpForward, QStyle::SP_ArrowForward, "cmdForward");
    cmdContents = button(Str::kHelpContentsButton, QStyle::SP_DirHomeIcon, "cmdContents");

    browser_ = new ManualBrowser(this);
    browser_->setObjectName(QStringLiteral("txtManual"));
    // Pictures and style sheet of a translated page from its own folder first,
    // then from the Swedish manual's.
    browser_->setSearchPaths(
        {help::ManualFolderFor(StringTable::Language(), QStringLiteral("index.html")),
         help::kManualFolder});
    // Links out of the manual (the maker's site) go to the desktop's browser.
    browser_->setOpenExternalLinks(true);

    connect(cmdBack, &QToolButton::clicked, browser_, &QTextBrowser::backward);
    connect(cmdForward, &QToolButton::clicked, browser_, &QTextBrowser::forward);
    connect(cmdContents, &QToolButton::clicked, this,
            [this] { browser_->setSource(help::StartPage()); });
    connect(browser_, &QTextBrowser::backwardAvailable, cmdBack, &QToolButton::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, cmdForward, &QToolButton::setEnabled);
    cmdBack->setEnabled(false);
    cmdForward->setEnabled(false);

    auto* tools = new QHBoxLayout;
    tools->setContentsMargins(4, 4, 4, 0);
    tools->addWidget(cmdBack);
    tools->addWidget(cmdForward);
    tools->addWidget(cmdContents);
    tools->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(tools);
    layout->addWidget(browser_, 1);

    // A page of text beside the program: tall, about a third of the screen wide.
    const QRect area =
        (owner ? owner->screen() : QGuiApplication::primaryScreen())->availableGeometry();
    resize(qBound(560, area.width() / 3, 900), qBound(480, area.height() * 3 / 4, 1000));
}

frmHelp* frmHelp::Current() {
    return current_.data();
}

frmHelp* frmHelp::ShowPage(const QUrl& page) {
    // A modal dialog blocks every window but its own: the help window
    // belongs to the dialog in front while there is one.
    QWidget* owner = QApplication::activeModalWidget();
    if (current_ && current_->parentWidget() != owner) delete current_.data();
    if (!current_) current_ = new frmHelp(owner);
    current_->Show(page);
    return current_.data();
}

frmHelp* frmHelp::ShowContextHelp(QWidget* focus) {
    return ShowPage(help::TopicFor(NamesOutwards(focus)));
}

void frmHelp::Show(const QUrl& page) {
    browser_->setSource(page);
    show();
    raise();
    activateWindow();
}

QUrl frmHelp::Page() const {
    return browser_->source();
}
