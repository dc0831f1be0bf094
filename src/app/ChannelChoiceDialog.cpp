#include "ChannelChoiceDialog.h"

#include "platform/Guard.h"
#include "sigrok/ChannelChoice.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

ChannelChoiceDialog::ChannelChoiceDialog(const QString& fileName,
                                         const std::vector<std::string>& channels, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("ChannelChoiceDialog"));
    setWindowTitle(QStringLiteral("Spurwerk - Kanäle wählen"));
    auto* layout = new QVBoxLayout(this);
    auto* text =
        new QLabel(QStringLiteral("Die Datei %1 hat %2 Logikkanäle, der Puffer hat %3 Leitungen.\n"
                                  "Wählen Sie die Kanäle, die importiert werden:")
                       .arg(fileName)
                       .arg(channels.size())
                       .arg(sigrok::MaxImportLines),
                   this);
    text->setWordWrap(true);
    layout->addWidget(text);

    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("Kanaele"));
    for (std::size_t i = 0; i < channels.size(); ++i) {
        auto* item = new QListWidgetItem(QString::fromStdString(channels[i]), list_);
        item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        item->setCheckState(i < std::size_t(sigrok::MaxImportLines) ? Qt::Checked : Qt::Unchecked);
    }
    layout->addWidget(list_);
    count_ = new QLabel(this);
    count_->setObjectName(QStringLiteral("Gewaehlt"));
    layout->addWidget(count_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    ok_->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemChanged, this, guard::Slot(nullptr, [this] { Update(); }));
    Update();
    resize(360, 480);
}

std::vector<std::string> ChannelChoiceDialog::Chosen() const {
    std::vector<std::string> names;
    for (int i = 0; i < list_->count(); ++i)
        if (list_->item(i)->checkState() == Qt::Checked)
            names.push_back(list_->item(i)->text().toStdString());
    return names;
}

void ChannelChoiceDialog::Choose(const std::vector<std::string>& names) {
    for (int i = 0; i < list_->count(); ++i) {
        const std::string name = list_->item(i)->text().toStdString();
        const bool chosen = std::find(names.begin(), names.end(), name) != names.end();
        list_->item(i)->setCheckState(chosen ? Qt::Checked : Qt::Unchecked);
    }
}

void ChannelChoiceDialog::Update() {
    const auto chosen = static_cast<int>(Chosen().size());
    count_->setText(
        QStringLiteral("Gewählt: %1 von höchstens %2").arg(chosen).arg(sigrok::MaxImportLines));
    ok_->setEnabled(chosen >= 1 && chosen <= sigrok::MaxImportLines);
}
