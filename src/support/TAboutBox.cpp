#include "support/TAboutBox.h"

#include "platform/Guard.h"

#include <QApplication>
#include <QFont>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

namespace {

QLabel* addLabel(QWidget* parent, const char* name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

QPixmap programIcon(const QWidget& owner) {
    QIcon icon = QApplication::windowIcon();
    if (icon.isNull()) icon = owner.style()->standardIcon(QStyle::SP_ComputerIcon);
    return icon.pixmap(64, 64);
}

} // namespace

TAboutBox::TAboutBox(QWidget* parent, std::function<void()> repaintDisplay)
    : QDialog(parent), repaintDisplay_(std::move(repaintDisplay)) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("Info"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    auto* panel = new QFrame(this);
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFrameShadow(QFrame::Sunken);

    auto* icon = addLabel(panel, "ProgramIcon", QString());
    icon->setPixmap(programIcon(*this));
    icon->setScaledContents(true);
    icon->setFixedSize(64, 64);

    auto* productName = addLabel(panel, "ProductName", QStringLiteral("Spurwerk"));
    QFont bold = productName->font();
    bold.setBold(true);
    bold.setPixelSize(16);
    productName->setFont(bold);

    versionNr_ = addLabel(panel, "VersionNr", QStringLiteral("Version"));
    auto* copyright = addLabel(panel, "Copyright",
                               QStringLiteral("Logikanalysator für Parallelport und USB-Platine"));
    auto* comments = addLabel(
        panel, "Comments",
        QStringLiteral("Spurwerk läuft auf den Desktop-Versionen von Linux. Für eine höhere "
                       "Geschwindigkeit kann es direkt auf den Druckerport zugreifen."));
    comments->setWordWrap(true);

    auto* grid = new QGridLayout(panel);
    grid->addWidget(icon, 0, 0, 3, 1, Qt::AlignTop);
    grid->addWidget(productName, 0, 1);
    grid->addWidget(versionNr_, 1, 1);
    grid->addWidget(copyright, 2, 1);
    grid->addWidget(comments, 3, 0, 1, 2);
    grid->setColumnStretch(1, 1);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, guard::Slot(nullptr, [this] { OKButtonClick(); }));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel);
    layout->addLayout(buttons);
    setFixedWidth(330);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TAboutBox::ShowInfo() {
    if (const QScreen* screen = QApplication::primaryScreen()) {
        adjustSize();
        move(screen->availableGeometry().center() - rect().center());
    }
    show();
    versionNr_->setText(QStringLiteral("Version 1.0.40.36"));
}

void TAboutBox::OKButtonClick() {
    hide();
    if (repaintDisplay_) repaintDisplay_();
}
