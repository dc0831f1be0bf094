#pragma once

#include "platform/BackgroundRelease.h"
#include "sigrok/decode/AnnotationStore.h"
#include "sigrok/decode/DecodeSetup.h"
#include "sigrok/decode/DecoderInfo.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class AnnotationRowsView;
class DecodeWindow;
class QScrollArea;
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
// the result as rows under the diagram's time axis, in the diagram's view,
// and as a list in a window beside the main window.
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
    const sigrokdecode::AnnotationStore& Annotations() const { return annotations_; }
    bool Running() const { return run_ != nullptr || copy_.has_value(); }
    DecodeWindow* Window() const { return window_; }
    // The rows in the main window (hidden while there are none).
    AnnotationRowsView& Rows() const { return *rows_; }
    QScrollArea& RowsPanel() const { return *rowsPanel_; }
    // Places the rows under the diagram's axis and gives them its view.
    void FollowDiagram();
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
    bool startCopy(std::uint64_t print);
    // Copies the next pieces; true once the copy was whole and its run started.
    bool continueCopy();
    void takeResult();
    // Replaces the annotations shown; the old ones go on another thread.
    void replaceAnnotations(sigrokdecode::AnnotationStore store);
    void dropCopy();
    void showWindow();
    void showAnnotations();

    TMain1& main_;
    SetupEditor editor_;
    Stacks stacks_;
    std::shared_ptr<sigrokdecode::Library> library_;
    std::unique_ptr<sigrokdecode::BackgroundDecode> run_;
    // The samples of the next run, copied from the buffer a piece per step so
    // that a long buffer never holds up the window.
    struct PendingCopy {
        std::vector<sigrokdecode::ResolvedStack> stacks;
        std::vector<std::uint8_t> planes;
        std::uint64_t print = 0;
    };
    std::optional<PendingCopy> copy_;
    sigrokdecode::AnnotationStore annotations_;
    // Long captures and their annotations take long to give back.
    BackgroundRelease release_;
    DecodeWindow* window_ = nullptr; // a tool window of the main window
    QScrollArea* rowsPanel_ = nullptr; // in the main window, over the diagram's lower part
    AnnotationRowsView* rows_ = nullptr;
    QTimer* timer_ = nullptr;
    std::uint64_t decodedPrint_ = 0; // buffer fingerprint of the last run started
    std::uint64_t runPrint_ = 0;
    bool setupChanged_ = false;
    bool reportErrors_ = false; // the next failure comes from the user's own action
    bool libraryFailed_ = false;
};
