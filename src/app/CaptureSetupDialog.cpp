#include "CaptureSetupDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

CaptureSetupDialog::CaptureSetupDialog(QWidget* parent, const CaptureSetup& setup,
                                       std::uint64_t rateHz, Refuse refuse, Guard guard)
    : QDialog(parent), previous_(setup), refuse_(std::move(refuse)), guard_(std::move(guard)) {
    setObjectName(QStringLiteral("AufnahmeEinrichtenDialog"));
    setWindowTitle(QStringLiteral("Aufnahme einrichten"));
    auto* layout = new QVBoxLayout(this);
    const auto named = [](auto* widget, const char* name) {
        widget->setObjectName(QLatin1String(name));
        return widget;
    };

    auto* length = new QGroupBox(QStringLiteral("Länge"), this);
    auto* lengthGrid = new QGridLayout(length);
    menuLength_ =
        named(new QRadioButton(QStringLiteral("wie im Menü „5 Sek.“ / „10 Sek.“"), length),
              "LaengeMenue");
    samplesLength_ = named(new QRadioButton(QStringLiteral("Abtastwerte:"), length), "LaengeWerte");
    durationLength_ = named(new QRadioButton(QStringLiteral("Dauer:"), length), "LaengeDauer");
    samples_ = named(new QLineEdit(length), "Werte");
    samples_->setPlaceholderText(QStringLiteral("z. B. 2M oder 100000"));
    duration_ = named(new QLineEdit(length), "Dauer");
    duration_->setPlaceholderText(QStringLiteral("z. B. 2s, 250ms"));
    lengthGrid->addWidget(menuLength_, 0, 0, 1, 2);
    lengthGrid->addWidget(samplesLength_, 1, 0);
    lengthGrid->addWidget(samples_, 1, 1);
    lengthGrid->addWidget(durationLength_, 2, 0);
    lengthGrid->addWidget(duration_, 2, 1);
    layout->addWidget(length);

    auto* rateForm = new QFormLayout;
    rate_ = named(new QLineEdit(this), "Abtastrate");
    rate_->setPlaceholderText(QStringLiteral("z. B. 1 MHz, 24M"));
    rateForm->addRow(QStringLiteral("Abtastrate:"), rate_);
    layout->addLayout(rateForm);

    auto* channels = new QGroupBox(QStringLiteral("Kanäle (die anderen bleiben low)"), this);
    auto* channelGrid = new QGridLayout(channels);
    for (int line = 0; line < 16; ++line) {
        auto* box = new QCheckBox(QStringLiteral("D%1").arg(line), channels);
        box->setObjectName(QStringLiteral("Kanal%1").arg(line));
        channelGrid->addWidget(box, line / 8, line % 8);
        lines_[std::size_t(line)] = box;
    }
    auto* all = named(new QPushButton(QStringLiteral("Alle"), channels), "AlleKanaele");
    channelGrid->addWidget(all, 2, 0, 1, 2);
    connect(all, &QPushButton::clicked, this, [this] {
        guard_([this] {
            for (QCheckBox* box : lines_)
                box->setChecked(true);
        });
    });
    layout->addWidget(channels);

    auto* trigger = new QGroupBox(QStringLiteral("Trigger"), this);
    auto* triggerForm = new QFormLayout(trigger);
    trigger_ = named(new QLineEdit(trigger), "Trigger");
    trigger_->setPlaceholderText(QStringLiteral("leer: ohne Trigger; z. B. D0=r,D2=1"));
    triggerForm->addRow(QStringLiteral("Bedingung:"), trigger_);
    auto* explained = new QLabel(
        QStringLiteral("KANAL=BEDINGUNG, mit Komma getrennt, alle zugleich erfüllt: 0 tief, "
                       "1 hoch, r steigende, f fallende, e jede Flanke. Mehrere Zeichen sind "
                       "Stufen nacheinander (D0=r,D2=01)."),
        trigger);
    explained->setWordWrap(true);
    triggerForm->addRow(explained);
    preTrigger_ = named(new QSpinBox(trigger), "VorTrigger");
    preTrigger_->setRange(0, 99);
    preTrigger_->setSuffix(QStringLiteral(" %"));
    triggerForm->addRow(QStringLiteral("Vor dem Trigger:"), preTrigger_);
    layout->addWidget(trigger);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this,
            [this] { guard_([this] { TryAccept(); }); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    Show(FormFor(setup, rateHz));
}

void CaptureSetupDialog::Show(const CaptureForm& form) {
    menuLength_->setChecked(form.length == CaptureSetup::Length::Menu);
    samplesLength_->setChecked(form.length == CaptureSetup::Length::Samples);
    durationLength_->setChecked(form.length == CaptureSetup::Length::Duration);
    samples_->setText(QString::fromStdString(form.samples));
    duration_->setText(QString::fromStdString(form.duration));
    rate_->setText(QString::fromStdString(form.rate));
    for (std::size_t line = 0; line < lines_.size(); ++line)
        lines_[line]->setChecked((form.lines >> line) & 1u);
    trigger_->setText(QString::fromStdString(form.trigger));
    preTrigger_->setValue(form.preTriggerPercent);
}

CaptureForm CaptureSetupDialog::Form() const {
    CaptureForm form;
    form.length = samplesLength_->isChecked()    ? CaptureSetup::Length::Samples
                  : durationLength_->isChecked() ? CaptureSetup::Length::Duration
                                                 : CaptureSetup::Length::Menu;
    form.samples = samples_->text().trimmed().toStdString();
    form.duration = duration_->text().trimmed().toStdString();
    form.rate = rate_->text().trimmed().toStdString();
    form.lines = 0;
    for (std::size_t line = 0; line < lines_.size(); ++line)
        if (lines_[line]->isChecked()) form.lines |= std::uint16_t(1u << line);
    form.trigger = trigger_->text().trimmed().toStdString();
    form.preTriggerPercent = preTrigger_->value();
    return form;
}

void CaptureSetupDialog::TryAccept() {
    std::string error;
    const std::optional<CaptureChoice> choice = ReadCaptureForm(Form(), previous_, error);
    if (!choice) {
        refuse_(QString::fromStdString(error));
        return;
    }
    choice_ = *choice;
    accept();
}
