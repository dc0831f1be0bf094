#include "decodeview/DecoderSetupDialog.h"
#include "platform/Guard.h"

#include "sigrok/decode/DecodeError.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

using namespace sigrokdecode;

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// Channel and option fields carry their id as object name "field_<id>".
QString FieldName(const std::string& id) {
    return QStringLiteral("field_") + Q(id);
}

} // namespace

QString OptionLabelText(const std::string& id, const std::string& desc) {
    const QString name = Q(id);
    const QString description = Q(desc).trimmed();
    // The name is what `spurwerk decode -P` and sigrok-cli take; the library's
    // description says what it means, unless it is the name itself.
    if (description.isEmpty() || description.compare(name, Qt::CaseInsensitive) == 0) return name;
    return name + QStringLiteral(" (") + description + QStringLiteral(")");
}

DecoderSetupDialog::DecoderSetupDialog(const Catalogue& catalogue,
                                       std::vector<std::string> lineNames,
                                       std::vector<DecoderStack> stacks, QWidget* parent)
    : QDialog(parent), catalogue_(catalogue), lineNames_(std::move(lineNames)),
      stacks_(std::move(stacks)) {
    setObjectName(QStringLiteral("DecoderSetupDialog"));
    setWindowTitle(QStringLiteral("Protokoll dekodieren"));
    lineNames_.resize(16);

    auto* columns = new QHBoxLayout;
    auto* left = new QGroupBox(QStringLiteral("Verfügbare Dekodierer"));
    auto* leftLayout = new QVBoxLayout(left);
    decoders_ = new QListWidget;
    decoders_->setObjectName(QStringLiteral("DecoderList"));
    for (const auto& d : catalogue_) {
        auto* item = new QListWidgetItem(Q(d.id) + QStringLiteral(" - ") +
                                         Q(d.longname.empty() ? d.name : d.longname));
        item->setData(Qt::UserRole, Q(d.id));
        item->setToolTip(Q(d.desc));
        decoders_->addItem(item);
    }
    description_ = new QLabel;
    description_->setWordWrap(true);
    leftLayout->addWidget(decoders_, 1);
    leftLayout->addWidget(description_);

    auto* middle = new QGroupBox(QStringLiteral("Kanäle und Optionen"));
    auto* middleLayout = new QVBoxLayout(middle);
    form_ = new QWidget;
    formLayout_ = new QFormLayout(form_);
    auto* addButton = new QPushButton(QStringLiteral("Hinzufügen"));
    addButton->setObjectName(QStringLiteral("AddDecoderButton"));
    stackButton_ = new QPushButton(QStringLiteral("Auf gewählten Dekodierer setzen"));
    stackButton_->setObjectName(QStringLiteral("StackDecoderButton"));
    // Some decoders have two dozen channels and options: the form scrolls
    // rather than growing the dialog past a small screen.
    auto* formScroll = new QScrollArea;
    formScroll->setWidget(form_);
    formScroll->setWidgetResizable(true);
    formScroll->setFrameShape(QFrame::NoFrame);
    formScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    middleLayout->addWidget(formScroll, 1);
    middleLayout->addWidget(addButton);
    middleLayout->addWidget(stackButton_);

    auto* right = new QGroupBox(QStringLiteral("Aktive Dekodierer"));
    auto* rightLayout = new QVBoxLayout(right);
    active_ = new QListWidget;
    active_->setObjectName(QStringLiteral("ActiveDecoders"));
    auto* removeButton = new QPushButton(QStringLiteral("Entfernen"));
    removeButton->setObjectName(QStringLiteral("RemoveDecoderButton"));
    rightLayout->addWidget(active_, 1);
    rightLayout->addWidget(removeButton);

    columns->addWidget(left, 3);
    columns->addWidget(middle, 3);
    columns->addWidget(right, 3);

    error_ = new QLabel;
    error_->setObjectName(QStringLiteral("DecoderSetupError"));
    error_->setWordWrap(true);
    error_->setStyleSheet(QStringLiteral("color: #b00000"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addWidget(error_);
    layout->addWidget(buttons);
    resize(900, 480);

    // Dialog commands only touch the dialog's own copy; the guard still keeps
    // anything they might throw out of Qt's event loop.
    connect(decoders_, &QListWidget::currentRowChanged, this, [this](int row) {
        guard::Run(nullptr, [&] {
            SelectDecoder(
                row >= 0 ? decoders_->item(row)->data(Qt::UserRole).toString().toStdString() : "");
        });
    });
    connect(addButton, &QPushButton::clicked, this, guard::Slot(nullptr, [this] { AddAsNew(); }));
    connect(stackButton_, &QPushButton::clicked, this,
            guard::Slot(nullptr, [this] { StackOnSelected(); }));
    connect(removeButton, &QPushButton::clicked, this,
            guard::Slot(nullptr, [this] { RemoveSelected(); }));
    connect(active_, &QListWidget::currentRowChanged, this,
            [this](int) { guard::Run(nullptr, [this] { fillForm(); }); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    refreshStacks();
    if (const auto* uart = FindDecoder(catalogue_, "uart")) SelectDecoder(uart->id);
}

void DecoderSetupDialog::SelectDecoder(const std::string& id) {
    current_ = FindDecoder(catalogue_, id);
    for (int i = 0; i < decoders_->count(); ++i)
        if (decoders_->item(i)->data(Qt::UserRole).toString().toStdString() == id &&
            decoders_->currentRow() != i) {
            decoders_->setCurrentRow(i); // comes back here through the signal
            return;
        }
    fillForm();
}

void DecoderSetupDialog::fillForm() {
    while (formLayout_->rowCount() > 0)
        formLayout_->removeRow(0);
    description_->setText(current_ ? Q(current_->desc) : QString());
    if (!current_) return;
    for (const auto& ch : current_->channels) {
        auto* box = new QComboBox;
        box->setObjectName(FieldName(ch.id));
        box->addItem(QStringLiteral("-"), QString());
        for (int line = 0; line < 16; ++line) {
            const QString number = QStringLiteral("D%1").arg(line, 2, 10, QLatin1Char('0'));
            const QString name = Q(lineNames_[std::size_t(line)]);
            box->addItem(name.isEmpty()
                             ? number
                             : number + QStringLiteral(" (") + name + QStringLiteral(")"),
                         number);
        }
        box->setToolTip(Q(ch.desc));
        formLayout_->addRow(Q(ch.name) + (ch.required ? QStringLiteral(" *") : QString()), box);
    }
    for (const auto& opt : current_->options) {
        QWidget* field = nullptr;
        const QString def = Q(OptionValueText(opt.def));
        if (!opt.values.empty()) {
            auto* box = new QComboBox;
            for (const auto& v : opt.values)
                box->addItem(Q(OptionValueText(v)));
            box->setCurrentText(def);
            field = box;
        } else {
            field = new QLineEdit(def);
        }
        field->setObjectName(FieldName(opt.id));
        field->setToolTip(Q(opt.desc));
        auto* label = new QLabel(OptionLabelText(opt.id, opt.desc));
        label->setWordWrap(true);
        label->setBuddy(field);
        formLayout_->addRow(label, field);
    }
    // Stacking needs a chosen stack whose top decoder feeds this one.
    const int sel = active_->currentRow();
    const bool canStack = sel >= 0 && !current_->ReadsLines() && [&] {
        const auto* top = FindDecoder(catalogue_, stacks_[std::size_t(sel)].back().id);
        return top && top->Feeds(*current_);
    }();
    stackButton_->setEnabled(canStack);
}

void DecoderSetupDialog::SetField(const std::string& name, const QString& value) {
    QWidget* field = form_->findChild<QWidget*>(FieldName(name));
    if (auto* box = qobject_cast<QComboBox*>(field)) {
        const int i = std::max(box->findData(value), box->findText(value));
        if (i >= 0)
            box->setCurrentIndex(i);
        else if (box->isEditable())
            box->setCurrentText(value);
    } else if (auto* edit = qobject_cast<QLineEdit*>(field)) {
        edit->setText(value);
    }
}

DecoderSetup DecoderSetupDialog::FormSetup() const {
    DecoderSetup setup;
    if (!current_) return setup;
    setup.id = current_->id;
    for (const auto& ch : current_->channels) {
        const auto* box = form_->findChild<QComboBox*>(FieldName(ch.id));
        if (box && !box->currentData().toString().isEmpty())
            setup.settings.emplace_back(ch.id, box->currentData().toString().toStdString());
    }
    for (const auto& opt : current_->options) {
        const QWidget* field = form_->findChild<QWidget*>(FieldName(opt.id));
        QString value;
        if (const auto* box = qobject_cast<const QComboBox*>(field))
            value = box->currentText();
        else if (const auto* edit = qobject_cast<const QLineEdit*>(field))
            value = edit->text().trimmed();
        if (value.toStdString() != OptionValueText(opt.def))
            setup.settings.emplace_back(opt.id, value.toStdString());
    }
    return setup;
}

bool DecoderSetupDialog::take(DecoderStack stack, int replace) {
    try {
        Resolve(stack, catalogue_, lineNames_);
    } catch (const DecodeError& e) {
        error_->setText(QString::fromUtf8(e.what()));
        return false;
    }
    error_->clear();
    if (replace >= 0)
        stacks_[std::size_t(replace)] = std::move(stack);
    else
        stacks_.push_back(std::move(stack));
    refreshStacks();
    active_->setCurrentRow(replace >= 0 ? replace : active_->count() - 1);
    return true;
}

bool DecoderSetupDialog::AddAsNew() {
    if (!current_) return false;
    return take({FormSetup()}, -1);
}

bool DecoderSetupDialog::StackOnSelected() {
    const int sel = active_->currentRow();
    if (!current_ || sel < 0) return false;
    DecoderStack stack = stacks_[std::size_t(sel)];
    stack.push_back(FormSetup());
    return take(std::move(stack), sel);
}

void DecoderSetupDialog::RemoveSelected() {
    const int sel = active_->currentRow();
    if (sel < 0) return;
    stacks_.erase(stacks_.begin() + sel);
    refreshStacks();
}

QString DecoderSetupDialog::ErrorText() const {
    return error_->text();
}

void DecoderSetupDialog::refreshStacks() {
    active_->clear();
    for (const auto& s : stacks_)
        active_->addItem(Q(StackText(s)));
}
