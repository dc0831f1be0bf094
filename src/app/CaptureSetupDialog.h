#pragma once

#include "CaptureSetup.h"

#include <QDialog>
#include <array>
#include <functional>

class QCheckBox;
class QLineEdit;
class QRadioButton;
class QSpinBox;

// "Aufnahme einrichten": the length of a sigrok recording, the rate, the
// lines it takes and a trigger with its share before the trigger point. OK
// checks the form and answers a reason when it does not hold.
class CaptureSetupDialog : public QDialog {
    Q_OBJECT
  public:
    // `refuse` shows why the form cannot be taken (a message box).
    using Refuse = std::function<void(const QString&)>;
    using Guard = std::function<void(const std::function<void()>&)>;

    CaptureSetupDialog(QWidget* parent, const CaptureSetup& setup, std::uint64_t rateHz,
                       Refuse refuse, Guard guard);

    CaptureForm Form() const;
    // Valid once the dialog was accepted.
    const CaptureChoice& Choice() const { return choice_; }

  private:
    void TryAccept();
    void Show(const CaptureForm& form);

    CaptureSetup previous_;
    CaptureChoice choice_;
    Refuse refuse_;
    Guard guard_;
    QRadioButton* menuLength_;
    QRadioButton* samplesLength_;
    QRadioButton* durationLength_;
    QLineEdit* samples_;
    QLineEdit* duration_;
    QLineEdit* rate_;
    std::array<QCheckBox*, 16> lines_{};
    QLineEdit* trigger_;
    QSpinBox* preTrigger_;
};
