#include "support/THelpWindow.h"

#include "platform/Guard.h"
#include "support/HelpContext.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

THelpWindow::THelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Spurwerk – Hilfe"));

    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("HelpBrowser"));
    browser_->setOpenExternalLinks(true);

    auto* contents = new QPushButton(QStringLiteral("Inhalt"), this);
    contents->setObjectName(QStringLiteral("HelpContents"));
    auto* back = new QPushButton(QStringLiteral("Zurück"), this);
    back->setObjectName(QStringLiteral("HelpBack"));
    auto* forward = new QPushButton(QStringLiteral("Vor"), this);
    forward->setObjectName(QStringLiteral("HelpForward"));
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward, &QPushButton::clicked, browser_, &QTextBrowser::forward);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);
    connect(contents, &QPushButton::clicked, this, guard::Slot(nullptr, [this] {
                ShowAnchor(file_, help::AnchorOf(help::kMainContext));
            }));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(contents);
    buttons->addWidget(back);
    buttons->addWidget(forward);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(browser_, 1);
    resize(720, 640);
}

void THelpWindow::ShowAnchor(const QString& file, const QString& anchor) {
    file_ = file;
    QUrl url = QUrl::fromLocalFile(file);
    url.setFragment(anchor);
    browser_->setSource(url);
    // setSource only scrolls when the document changes or the anchor does;
    // scrolling again brings the topic back after the user scrolled away.
    browser_->scrollToAnchor(anchor);
    show();
    // The start page's anchor is the page's first heading: scrolling exactly to
    // it cuts off the page's top margin, so the start page is shown from its top.
    // This comes after show(), where a window shown for the first time scrolls.
    if (anchor == help::AnchorOf(help::kMainContext)) browser_->verticalScrollBar()->setValue(0);
    raise();
    activateWindow();
}

THelpWindowHost::THelpWindowHost() = default;
THelpWindowHost::~THelpWindowHost() = default;

void THelpWindowHost::ShowAnchor(const QString& file, const QString& anchor) {
    if (!window_) {
        window_ = std::make_unique<THelpWindow>();
        if (const QScreen* screen = QApplication::primaryScreen())
            window_->move(screen->availableGeometry().center() - window_->rect().center());
    }
    window_->ShowAnchor(file, anchor);
}

void THelpWindowHost::CloseAll() {
    if (window_) window_->close();
}
