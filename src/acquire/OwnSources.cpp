#include "acquire/OwnSources.h"

#include "acquire/BoardSource.h"
#include "acquire/ParallelPortSource.h"
#include "acquire/SourceFacts.h"
#include "hardware/K8055Library.h"
#include "hardware/PortPreparation.h"
#include "hardware/PortSystem.h"
#include "hardware/TPortIO.h"
#include "hardware/TPortUSB.h"
#include "sampling/MonotonicClock.h"
#include "support/InstallLayout.h"

namespace acquire {

namespace {

// A source that owns the hardware it reads and lends the reading to a
// source object living beside that hardware.
class OwningSource : public SampleSource {
  public:
    std::string Name() const override { return inner().Name(); }
    int Lines() const override { return inner().Lines(); }
    std::int64_t NominalPeriodNs() const override { return inner().NominalPeriodNs(); }
    std::uint64_t RecordLengthCells(bool five) const override {
        return inner().RecordLengthCells(five);
    }
    std::uint64_t MaxCells() const override { return inner().MaxCells(); }
    void Prepare(RunKind kind) override { inner().Prepare(kind); }
    void Finish(RunKind kind) override { inner().Finish(kind); }
    RunResult Run(const RunRequest& r, SampleSink& s, const RunControl& c) override {
        return inner().Run(r, s, c);
    }

  private:
    virtual const SampleSource& inner() const = 0;
    virtual SampleSource& inner() = 0;
};

// The parallel port opened and held for the source's lifetime.
class OwnedPort final : public OwningSource {
  public:
    OwnedPort(Desktop& desktop, bool simulate, std::int32_t base)
        : io_(desktop,
              MakePortSystem(simulate ? PortSystemKind::Simulated : PortSystemKind::Ppdev)),
          port_(io_, base, LptMode{}, desktop, clock_) {
        io_.SetName(QStringLiteral("PortIO1"));
        io_.SetIOactive(true);
    }
    ~OwnedPort() override {
        if (held_) io_.SetPortHeld(false);
    }
    TPortIO& io() { return io_; }
    void Hold() {
        io_.SetPortHeld(true);
        held_ = true;
    }

  private:
    const SampleSource& inner() const override { return port_; }
    SampleSource& inner() override { return port_; }

    sampling::SteadyClock clock_;
    TPortIO io_;
    ParallelPortSource port_;
    bool held_ = false;
};

// The board connected for the source's lifetime.
class OwnedBoard final : public OwningSource {
  public:
    OwnedBoard(Desktop& desktop, const k8055::LibraryChoice& library)
        : usb_(desktop, library.name, library.directory), board_(usb_, desktop, clock_) {}
    ~OwnedBoard() override {
        if (usb_.USBportactive()) usb_.SetUSBportactive(false);
        usb_.WaitWhileProcessing();
    }
    TPortUSB& usb() { return usb_; }

  private:
    const SampleSource& inner() const override { return board_; }
    SampleSource& inner() override { return board_; }

    sampling::SteadyClock clock_;
    TPortUSB usb_;
    BoardSource board_;
};

constexpr std::int32_t kLptBase[] = {0x378, 0x278};

OpenedSource OpenLpt(const OwnSourceRequest& request, Desktop& desktop) {
    OpenedSource opened;
    const std::string name = request.name.Name();
    const std::int32_t base = kLptBase[request.name.number == 2 ? 1 : 0];
    auto port = std::make_unique<OwnedPort>(desktop, request.simulate, base);
    TPortIO& io = port->io();
    // Asked at the control register: a read of the data register may count
    // as a sample (the simulated port's pattern advances with it).
    if (!io.IOactive() || !io.PortAnswers(std::uint32_t(base + 2))) {
        opened.error = "Der Druckerport " + name +
                       " lässt sich nicht öffnen: kein Druckerport gefunden oder keine "
                       "Berechtigung für /dev/parport* (Gruppe lp). Ohne Hardware: --simulate.";
        return opened;
    }
    // Held while it is read, so that no printer driver claims it in between.
    port->Hold();
    portprep::InputStart(io, base);
    if (!io.CanReadDataLines(std::uint32_t(base)))
        opened.warning = "Der Druckerport " + name +
                         " kann seine Datenleitungen nicht als Eingänge schalten; D00..D07 "
                         "zeigen seine eigene Ausgabe, nicht die Signale.";
    opened.source = std::move(port);
    return opened;
}

OpenedSource OpenBoard(const OwnSourceRequest& request, Desktop& desktop) {
    OpenedSource opened;
    const std::string programDir = request.programDir.empty()
                                       ? install::RunningProgramDirectory().toStdString()
                                       : request.programDir;
    const k8055::LibraryChoice library =
        k8055::ChooseLibrary(request.simulate, QString::fromStdString(request.boardLibrary),
                             QString::fromStdString(programDir));
    auto board = std::make_unique<OwnedBoard>(desktop, library);
    TPortUSB& usb = board->usb();
    if (!usb.LibraryLoaded()) {
        opened.error = "Die Bibliothek für die K8055-Karten (" + library.name.toStdString() +
                       ") lässt sich nicht laden.";
        return opened;
    }
    usb.SetUSBportconnect(TUSBConnect::User);
    usb.SetUSBportAddr(request.name.number);
    usb.SetUSBportactive(true);
    if (!usb.USBportactive()) {
        opened.error = "Keine K8055-Karte mit der Adresse " + std::to_string(request.name.number) +
                       " gefunden (angeschlossen? Berechtigung für USB?). Ohne Hardware: "
                       "--simulate.";
        return opened;
    }
    opened.source = std::move(board);
    return opened;
}

} // namespace

std::optional<OwnSourceName> OwnSourceName::Parse(const std::string& text) {
    if (text == "lpt1" || text == "lpt2") return OwnSourceName{Kind::Lpt, text[3] - '0'};
    if (text.size() == 4 && text.rfind("usb", 0) == 0 && text[3] >= '1' && text[3] <= '4')
        return OwnSourceName{Kind::Board, text[3] - '0'};
    return std::nullopt;
}

std::string OwnSourceName::Name() const {
    return (kind == Kind::Lpt ? "LPT" : "USB") + std::to_string(number);
}

std::int64_t OwnSourceName::NominalPeriodNs() const {
    return kind == Kind::Lpt ? kPortPeriodNs : kBoardPeriodNs;
}

OpenedSource OpenOwnSource(const OwnSourceRequest& request, Desktop& desktop) {
    return request.name.kind == OwnSourceName::Kind::Lpt ? OpenLpt(request, desktop)
                                                         : OpenBoard(request, desktop);
}

} // namespace acquire
