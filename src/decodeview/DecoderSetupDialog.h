#pragma once

#include "sigrok/decode/DecodeSetup.h"
#include "sigrok/decode/DecoderInfo.h"

#include <QDialog>
#include <string>
#include <vector>

class QFormLayout;
class QLabel;
class QListWidget;
class QPushButton;
class QWidget;

// The label of a decoder option in the form: its name as the command line
// takes it, with the library's description beside it where that says more.
QString OptionLabelText(const std::string& id, const std::string& desc);

// "Protokoll dekodieren": choose decoders from the library's list, assign
// their channels to lines, set their options (starting from the library's
// defaults) and stack a decoder on another where the library allows it.
// Works on a copy of the set-up; Stacks() gives it back after OK.
class DecoderSetupDialog : public QDialog {
    Q_OBJECT
  public:
    DecoderSetupDialog(const sigrokdecode::Catalogue& catalogue, std::vector<std::string> lineNames,
                       std::vector<sigrokdecode::DecoderStack> stacks, QWidget* parent = nullptr);

    const std::vector<sigrokdecode::DecoderStack>& Stacks() const { return stacks_; }

    // The decoder the form shows; "" when none.
    void SelectDecoder(const std::string& id);
    // Sets a field of the form: a channel's line text or an option's value.
    void SetField(const std::string& name, const QString& value);
    // The form as a decoder set-up, only the values that differ from the defaults.
    sigrokdecode::DecoderSetup FormSetup() const;
    // The buttons' commands; false (and the reason shown) when refused.
    bool AddAsNew();
    bool StackOnSelected();
    void RemoveSelected();
    QString ErrorText() const;

  private:
    void fillForm();
    void refreshStacks();
    bool take(sigrokdecode::DecoderStack stack, int replace);

    const sigrokdecode::Catalogue& catalogue_;
    std::vector<std::string> lineNames_;
    std::vector<sigrokdecode::DecoderStack> stacks_;
    const sigrokdecode::DecoderInfo* current_ = nullptr;
    QListWidget* decoders_ = nullptr;
    QLabel* description_ = nullptr;
    QWidget* form_ = nullptr;
    QFormLayout* formLayout_ = nullptr;
    QListWidget* active_ = nullptr;
    QLabel* error_ = nullptr;
    QPushButton* stackButton_ = nullptr;
};
