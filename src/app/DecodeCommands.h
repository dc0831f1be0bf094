#pragma once

#include "sigrok/decode/Annotations.h"
#include "sigrok/decode/DecodeSetup.h"
#include "sigrok/decode/DecoderInfo.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class DecodeWindow;
class ProgramConfig;
class QTimer;
class TMain1;

namespace sigrokdecode {
class BackgroundDecode;
class Library;
} // namespace sigrokdecode

// "Protokoll dekodieren ..." and "Annotationen exportieren ..." in "Extras":
// keeps the decoder set-up (also in the program's configuration), decodes the buffer
// again whenever it or the set-up changes, on a thread of its own, and shows
// the result in the decode window beside the diagram.
class DecodeCommands : public QObject {
    Q_OBJECT
  public:
    using Stacks = std::vector<sigrokdecode::DecoderStack>;
    // Asks the user for a new set-up; nullopt when cancelled.
    using SetupEditor = std::function<std::optional<Stacks>(const sigrokdecode::Catalogue&,
                                                            const std::vector<std::string>& lineNames,
                                                            const Stacks& current)>;

    explicit DecodeCommands(TMain1& main);
    ~DecodeCommands() override;
    void Connect();
    void SetSetupEditor(SetupEditor editor) { editor_ = std::move(editor); }

    void ProtokollDekodieren1Click();
    void AnnotationenExportieren1Click();
    // Takes a set-up (checked against the decoders and lines), remembers it in
    // the program's configuration and starts decoding.
    void ApplySetup(Stacks stacks);
    void CancelDecoding();

    const Stacks& CurrentStacks() const { return stacks_; }
    const sigrokdecode::DecodeResult& Result() const { return result_; }
    bool Running() const { return run_ != nullptr; }
    DecodeWindow* Window() const { return window_; }
    // One step of the poll timer: the view follows the diagram, a changed
    // buffer or set-up starts a run, a finished run is taken in.
    void Poll();
    // Waits (pumping nothing) until the current run has finished and taken in.
    void WaitForRun();

    // The program's configuration: group "Dekodierung", values "Anzahl" and
    // "Stapel1".."StapelN". Reading raises for a damaged entry.
    static Stacks ReadSetup(const ProgramConfig& config);
    static void WriteSetup(ProgramConfig& config, const Stacks& stacks);
    static inline const QString SetupGroup = QStringLiteral("Dekodierung");

  private:
    sigrokdecode::Library& library();
    std::vector<std::string> lineNames() const;
    void startRun();
    void takeResult();
    void showWindow();
    void updateMapping();

    TMain1& main_;
    SetupEditor editor_;
    Stacks stacks_;
    std::shared_ptr<sigrokdecode::Library> library_;
    std::unique_ptr<sigrokdecode::BackgroundDecode> run_;
    sigrokdecode::DecodeResult result_;
    DecodeWindow* window_ = nullptr; // a top-level window owned here
    QTimer* timer_ = nullptr;
    std::uint64_t decodedPrint_ = 0; // buffer fingerprint of the last run started
    std::uint64_t runPrint_ = 0;
    bool setupChanged_ = false;
    bool reportErrors_ = false; // the next failure comes from the user's own action
    bool libraryFailed_ = false;
};
