#include "SigrokDeviceDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>

SigrokDeviceDialog::SigrokDeviceDialog(QWidget* parent, Scan scan, Guard guard)
    : QDialog(parent), scan_(std::move(scan)), guard_(std::move(guard)) {
    setObjectName(QStringLiteral("SigrokDeviceDialog"));
    setWindowTitle(QStringLiteral("sigrok-Gerät auswählen"));
    auto* layout = new QVBoxLayout(this);
    status_ = new QLabel(QStringLiteral("Suche nach Geräten über libsigrok ..."), this);
    status_->setObjectName(QStringLiteral("SigrokStatus"));
    busy_ = new QProgressBar(this);
    busy_->setObjectName(QStringLiteral("SigrokScanProgress"));
    busy_->setRange(0, 0); // moves without an end: a scan does not say how long it takes
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("SigrokDevices"));
    list_->setMinimumSize(420, 120);
    rates_ = new QComboBox(this);
    rates_->setObjectName(QStringLiteral("SigrokRates"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Abtastrate:"), rates_);
    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons_->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons_->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(false);
    layout->addWidget(status_);
    layout->addWidget(busy_);
    layout->addWidget(new QLabel(QStringLiteral("Gefundene Geräte:"), this));
    layout->addWidget(list_);
    layout->addLayout(form);
    layout->addWidget(buttons_);
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::currentRowChanged, this,
            [this](int) { guard_([this] { ShowRates(); }); });

    poll_ = new QTimer(this);
    poll_->setInterval(50);
    connect(poll_, &QTimer::timeout, this, [this] { guard_([this] { Poll(); }); });
    thread_ = std::thread([this] {
        std::vector<sigrok::DeviceInfo> found;
        std::string error;
        try {
            found = scan_();
        } catch (const std::exception& e) {
            error = e.what();
        } catch (...) {
            error = "Unbekannter Fehler bei der Gerätesuche.";
        }
        const std::lock_guard lock(mutex_);
        found_ = std::move(found);
        scanError_ = std::move(error);
        scanDone_ = true;
    });
    poll_->start();
}

SigrokDeviceDialog::~SigrokDeviceDialog() {
    // The scan cannot be interrupted; closing waits for its end.
    if (thread_.joinable()) thread_.join();
}

void SigrokDeviceDialog::Poll() {
    if (!scanDone_) return;
    poll_->stop();
    if (thread_.joinable()) thread_.join();
    std::string error;
    {
        const std::lock_guard lock(mutex_);
        devices_ = std::move(found_);
        error = scanError_;
    }
    busy_->setRange(0, 1);
    busy_->setValue(1);
    for (const sigrok::DeviceInfo& device : devices_)
        list_->addItem(QString::fromStdString(device.Title()));
    if (!error.empty())
        status_->setText(QStringLiteral("Die Suche ist fehlgeschlagen: ") +
                         QString::fromStdString(error));
    else if (devices_.empty())
        status_->setText(QStringLiteral("Kein Gerät gefunden. Ist es angeschlossen und hat "
                                        "der Benutzer Zugriff auf USB?"));
    else
        status_->setText(devices_.size() == 1 ? QStringLiteral("1 Gerät gefunden.")
                                              : QStringLiteral("%1 Geräte gefunden.").arg(devices_.size()));
    if (devices_.empty()) return;
    const auto known = std::find_if(devices_.begin(), devices_.end(), [this](const sigrok::DeviceInfo& d) {
        return preferred_ && d.spec == *preferred_;
    });
    Select(known == devices_.end() ? 0 : int(known - devices_.begin()));
}

void SigrokDeviceDialog::Prefer(const sigrok::DeviceSpec& spec, std::uint64_t rateHz) {
    preferred_ = spec;
    preferredRateHz_ = rateHz;
}

void SigrokDeviceDialog::Select(int index) {
    list_->setCurrentRow(index);
    ShowRates();
}

void SigrokDeviceDialog::ShowRates() {
    rates_->clear();
    const int row = list_->currentRow();
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(row >= 0);
    if (row < 0 || row >= int(devices_.size())) return;
    const sigrok::DeviceInfo& device = devices_[std::size_t(row)];
    std::vector<std::uint64_t> choices = device.rates.Choices();
    if (choices.empty() && device.currentRateHz) choices.push_back(device.currentRateHz);
    for (const std::uint64_t hz : choices)
        rates_->addItem(QString::fromStdString(sigrok::RateText(hz)), QVariant::fromValue(hz));
    if (device.currentRateHz) SelectRate(device.currentRateHz);
    if (preferred_ && device.spec == *preferred_) SelectRate(preferredRateHz_);
}

void SigrokDeviceDialog::SelectRate(std::uint64_t hz) {
    const int at = rates_->findData(QVariant::fromValue(hz));
    if (at >= 0) rates_->setCurrentIndex(at);
}

std::optional<sigrok::DeviceInfo> SigrokDeviceDialog::ChosenDevice() const {
    const int row = list_->currentRow();
    if (row < 0 || row >= int(devices_.size())) return std::nullopt;
    return devices_[std::size_t(row)];
}

std::uint64_t SigrokDeviceDialog::ChosenRate() const {
    return rates_->currentIndex() >= 0 ? rates_->currentData().value<std::uint64_t>() : 0;
}
