#pragma once

#include "sigrok/SigrokDevices.h"

#include <QDialog>
#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QTimer;

// Chooses a libsigrok device and its sample rate. The scan runs on a thread
// of its own (it can take seconds); the dialog shows a moving bar meanwhile
// and lists what was found: vendor, model, driver, connection, logic lines.
class SigrokDeviceDialog : public QDialog {
    Q_OBJECT
  public:
    using Scan = std::function<std::vector<sigrok::DeviceInfo>()>;
    using Guard = std::function<void(const std::function<void()>&)>;

    // `guard` runs every entry from Qt (the poll timer, the list) through
    // the program's exception guard.
    SigrokDeviceDialog(QWidget* parent, Scan scan, Guard guard);
    ~SigrokDeviceDialog() override;

    bool Scanning() const { return !scanDone_.load(); }
    const std::vector<sigrok::DeviceInfo>& Devices() const { return devices_; }
    // The device and rate in use: chosen in the list once the scan finds the
    // device again, instead of the first device at its own rate.
    void Prefer(const sigrok::DeviceSpec& spec, std::uint64_t rateHz);
    // Picks the device in the list (tests and the settings' last choice).
    void Select(int index);
    void SelectRate(std::uint64_t hz);
    std::optional<sigrok::DeviceInfo> ChosenDevice() const;
    std::uint64_t ChosenRate() const;

  private:
    void Poll();
    void ShowRates();

    Scan scan_;
    Guard guard_;
    std::atomic<bool> scanDone_{false};
    std::mutex mutex_;
    std::vector<sigrok::DeviceInfo> found_;
    std::string scanError_;
    std::thread thread_;

    std::vector<sigrok::DeviceInfo> devices_;
    std::optional<sigrok::DeviceSpec> preferred_;
    std::uint64_t preferredRateHz_ = 0;
    QLabel* status_;
    QProgressBar* busy_;
    QListWidget* list_;
    QComboBox* rates_;
    QDialogButtonBox* buttons_;
    QTimer* poll_;
};
