#include "BusDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

BusDialog::BusDialog(QWidget* parent, std::vector<trazor::BusDef> buses)
    : QDialog(parent), buses_(std::move(buses)) {
    setObjectName(QStringLiteral("BusDialog"));
    setWindowTitle(QStringLiteral("Busse"));
    auto* layout = new QVBoxLayout(this);
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("BusList"));
    list_->setMinimumSize(320, 100);
    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("BusName"));
    lines_ = new QLineEdit(this);
    lines_->setObjectName(QStringLiteral("BusLines"));
    lines_->setPlaceholderText(QStringLiteral("z. B. 0-7 oder 3,2,1,0"));
    order_ = new QComboBox(this);
    order_->setObjectName(QStringLiteral("BusOrder"));
    order_->addItems({QStringLiteral("Erste Leitung ist das höchste Bit"),
                      QStringLiteral("Erste Leitung ist das niedrigste Bit")});
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Name:"), name_);
    form->addRow(QStringLiteral("Leitungen:"), lines_);
    form->addRow(QStringLiteral("Bitfolge:"), order_);
    add_ = new QPushButton(QStringLiteral("Hinzufügen"), this);
    add_->setObjectName(QStringLiteral("BusAdd"));
    remove_ = new QPushButton(QStringLiteral("Entfernen"), this);
    remove_->setObjectName(QStringLiteral("BusRemove"));
    auto* row = new QHBoxLayout;
    row->addWidget(add_);
    row->addWidget(remove_);
    row->addStretch(1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    layout->addWidget(new QLabel(QStringLiteral("Busse (Leitungen, höchstes Bit zuerst):"), this));
    layout->addWidget(list_);
    layout->addLayout(form);
    layout->addLayout(row);
    layout->addWidget(buttons);

    connect(add_, &QPushButton::clicked, this, &BusDialog::add);
    connect(remove_, &QPushButton::clicked, this, &BusDialog::remove);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(name_, &QLineEdit::textChanged, this, &BusDialog::refresh);
    connect(lines_, &QLineEdit::textChanged, this, &BusDialog::refresh);
    connect(order_, &QComboBox::currentIndexChanged, this, &BusDialog::refresh);
    connect(list_, &QListWidget::currentRowChanged, this, &BusDialog::choose);
    fillList();
}

std::optional<trazor::BusDef> BusDialog::Entered() const {
    const QString name = name_->text().trimmed();
    std::optional<std::vector<int>> lines = trazor::parseLines(lines_->text());
    if (name.isEmpty() || !lines) return std::nullopt;
    if (order_->currentIndex() == 1) std::reverse(lines->begin(), lines->end());
    return trazor::BusDef{name, *lines};
}

void BusDialog::add() {
    const std::optional<trazor::BusDef> bus = Entered();
    if (!bus) return;
    // A bus of the same name is replaced: that is how one is changed.
    const auto same = std::find_if(buses_.begin(), buses_.end(),
                                   [&](const trazor::BusDef& b) { return b.name == bus->name; });
    if (same != buses_.end())
        *same = *bus;
    else
        buses_.push_back(*bus);
    name_->clear();
    lines_->clear();
    fillList();
}

void BusDialog::remove() {
    const int row = list_->currentRow();
    if (row < 0 || row >= int(buses_.size())) return;
    buses_.erase(buses_.begin() + row);
    fillList();
}

void BusDialog::fillList() {
    {
        const QSignalBlocker block(list_);
        list_->clear();
        for (const trazor::BusDef& bus : buses_)
            list_->addItem(bus.name + QStringLiteral(": ") + trazor::linesText(bus.lines));
    }
    refresh();
}

void BusDialog::choose(int row) {
    if (row >= 0 && row < int(buses_.size())) {
        // The chosen bus in the fields, to be changed and added again.
        name_->setText(buses_[std::size_t(row)].name);
        lines_->setText(trazor::linesText(buses_[std::size_t(row)].lines));
        order_->setCurrentIndex(0);
    }
    refresh();
}

void BusDialog::refresh() {
    add_->setEnabled(Entered().has_value());
    remove_->setEnabled(list_->currentRow() >= 0);
}
