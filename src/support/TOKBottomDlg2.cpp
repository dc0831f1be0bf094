#include "support/TOKBottomDlg2.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

TOKBottomDlg2::TOKBottomDlg2(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("OKBottomDlg2"));
    setWindowTitle(QStringLiteral("Eingabe vom Bit-Text"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setFrameShadow(QFrame::Sunken);
    auto* label = new QLabel(QStringLiteral("Text :"), frame);
    edit1_ = new QLineEdit(frame);
    edit1_->setObjectName(QStringLiteral("Edit1"));
    label->setBuddy(edit1_);
    auto* row = new QHBoxLayout(frame);
    row->addWidget(label);
    row->addWidget(edit1_, 1);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKBtn"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Abbrechen"), this);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    // QDialog already maps Esc to reject, which is what the cancel button does.
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(buttons);
    // A dialog of fixed size: one line of text needs no resizing.
    setFixedSize(340, sizeHint().height());
}

std::optional<QString> TOKBottomDlg2::EditLineName(const QString& current) {
    edit1_->setText(current);
    edit1_->selectAll();
    edit1_->setFocus();
    if (const QScreen* screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    if (exec() != QDialog::Accepted) return std::nullopt;
    return edit1_->text();
}
