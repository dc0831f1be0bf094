#include "cli/DecodeCommand.h"

#include "cli/AnnotationFilter.h"
#include "cli/RecordingExchange.h"
#include "sigrok/SigrokContext.h"
#include "sigrok/decode/Decode.h"
#include "sigrok/decode/DecodeError.h"
#include "sigrok/decode/Library.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <memory>
#include <stdexcept>

namespace cli {

namespace {

void Usage(std::ostream& to) {
    PrintUsage("decode", to);
}

// Annotations wait here until the decoders have read far enough past their
// start that an earlier one is unlikely to come; then they are printed in
// time order. At most MaxPending wait: when more come, the earlier half is
// printed, so memory stays the same small amount whatever the length and
// density of the recording.
class Printer : public sigrokdecode::AnnotationSink {
  public:
    Printer(std::ostream& out, const AnnotationFilter& filter, bool samplenum)
        : out_(out), filter_(filter), samplenum_(samplenum) {
        pending_.reserve(MaxPending);
    }

    void Rows(const std::vector<sigrokdecode::AnnotationRow>& rows) override { rows_ = rows; }

    void Add(sigrokdecode::Annotation&& a) override {
        if (!filter_.Shows(rows_.at(std::size_t(a.row)), a)) return;
        pending_.push_back({a.start, a.end, a.row, arrival_++, std::string(a.Text())});
        if (pending_.size() >= MaxPending) Print(pending_.size() / 2);
    }

    void Done(std::uint64_t samples) override {
        if (samples < SortWindow) return;
        Sort();
        const auto ready =
            std::partition_point(pending_.begin(), pending_.end(),
                                 [&](const Pending& p) { return p.start + SortWindow < samples; });
        Print(std::size_t(ready - pending_.begin()));
    }

    void Finish() {
        Print(pending_.size());
        out_.flush();
    }

  private:
    // A UART byte at 300 Bd and 1 MHz spans 36,000 samples; a window of a
    // million samples keeps far slower protocols in order too.
    static constexpr std::uint64_t SortWindow = 1 << 20;
    // Some 2 MB. Half of it is still tens of thousands of annotations: a
    // decoder announcing something after that many others started is rare.
    static constexpr std::size_t MaxPending = 1 << 15;

    struct Pending {
        std::uint64_t start, end;
        int row;
        std::uint32_t arrival; // ties keep the order the decoders gave
        std::string text;
    };

    void Sort() {
        // std::sort needs no buffer of its own (stable_sort takes one as
        // large as the pending list); the arrival number keeps it stable. The
        // numbers wrap, but those waiting together lie within MaxPending.
        std::sort(pending_.begin(), pending_.end(), [](const Pending& a, const Pending& b) {
            if (a.start != b.start) return a.start < b.start;
            if (a.row != b.row) return a.row < b.row;
            return std::int32_t(a.arrival - b.arrival) < 0;
        });
    }

    void Print(std::size_t count) {
        Sort();
        for (std::size_t i = 0; i < count; ++i) {
            const Pending& p = pending_[i];
            if (samplenum_) out_ << p.start << '-' << p.end << ' ';
            out_ << rows_[std::size_t(p.row)].instance << ": " << p.text << '\n';
        }
        pending_.erase(pending_.begin(), pending_.begin() + std::ptrdiff_t(count));
    }

    std::ostream& out_;
    const AnnotationFilter& filter_;
    bool samplenum_;
    std::vector<sigrokdecode::AnnotationRow> rows_;
    std::vector<Pending> pending_;
    std::uint32_t arrival_ = 0;
};

// A channel setting that names a channel of the file which --channels (or
// the limit of 16) left out.
void RefuseDroppedChannels(const std::vector<sigrokdecode::DecoderStack>& stacks,
                           const std::vector<std::string>& kept,
                           const std::vector<std::string>& dropped) {
    for (const auto& stack : stacks)
        for (const auto& setup : stack)
            for (const auto& [name, value] : setup.settings)
                if (std::find(kept.begin(), kept.end(), value) == kept.end() &&
                    std::find(dropped.begin(), dropped.end(), value) != dropped.end())
                    throw sigrokdecode::DecodeError(
                        "Dekodierer " + setup.id + ": " + name + "=" + value +
                        " nennt einen Kanal der Datei, der nicht übernommen wurde (der Puffer "
                        "hat 16 Leitungen). --channels wählt die Kanäle, z. B. --channels " +
                        value + ",...");
}

// Decodes the recording as it is read: the decoders start once the file's
// channels and rate are known and take every block as it comes, so memory
// stays the same at any length.
class Feed : public RecordingReceiver {
  public:
    Feed(Streams io, const std::vector<sigrokdecode::DecoderStack>& setups,
         AnnotationFilter& filter, bool samplenum)
        : io_(io), setups_(setups), filter_(filter), printer_(io.out, filter, samplenum) {}

    void Begin(InputRecording&& head) override {
        for (const std::string& warning : head.warnings)
            io_.err << "spurwerk decode: Warnung: " << warning << "\n";
        std::vector<std::string> ids;
        for (const auto& stack : setups_)
            for (const auto& setup : stack)
                ids.push_back(setup.id);
        library_ = std::make_unique<sigrokdecode::Library>(ids);
        // A set-up that does not fit the recording is the caller's mistake.
        status_ = ExitUsage;
        RefuseDroppedChannels(setups_, head.frames.names, head.dropped);
        for (const auto& setup : setups_)
            stacks_.push_back(sigrokdecode::Resolve(setup, library_->Decoders(), head.frames.names,
                                                    sigrokdecode::LineNaming::ExactNames));
        status_ = ExitFailure;
        // As sigrok-cli: an -A naming what no decoder of the run has is an error.
        if (const std::string wrong = filter_.Check(stacks_); !wrong.empty())
            throw std::runtime_error(wrong);
        const auto rate = std::uint64_t(
            std::max<long long>(1, std::llround(head.frames.timeBase.period.RateHz())));
        run_ = std::make_unique<sigrokdecode::DecodeRun>(*library_, stacks_, rate, printer_);
    }

    void Take(const std::uint16_t* words, std::size_t count) override { run_->Send(words, count); }

    void Finish() {
        if (run_) run_->Finish();
        printer_.Finish();
    }

    // The exit status for an exception that ended the run.
    int FailureStatus() const { return status_; }

  private:
    Streams io_;
    const std::vector<sigrokdecode::DecoderStack>& setups_;
    AnnotationFilter& filter_;
    Printer printer_;
    std::unique_ptr<sigrokdecode::Library> library_;
    std::vector<sigrokdecode::ResolvedStack> stacks_;
    std::unique_ptr<sigrokdecode::DecodeRun> run_; // last: ends before what it uses
    int status_ = ExitFailure;
};

} // namespace

int RunDecode(const std::vector<std::string>& args, Streams io) {
    std::string input;
    std::vector<std::string> stackTexts;
    std::vector<std::string> filterTexts;
    bool samplenum = false;
    InputChoice choice;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            Usage(io.out);
            return ExitOk;
        }
        if (arg == "--samplenum") {
            samplenum = true;
            continue;
        }
        try {
            if (ReadInputOption(args, i, choice)) continue;
        } catch (const std::invalid_argument& error) {
            io.err << "spurwerk decode: " << error.what() << "\n";
            return ExitUsage;
        }
        if (arg == "-P" || arg == "-A") {
            if (i + 1 >= args.size()) {
                io.err << "spurwerk decode: " << arg << " braucht einen Wert.\n";
                return ExitUsage;
            }
            (arg == "-P" ? stackTexts : filterTexts).push_back(args[++i]);
        } else if (!arg.empty() && arg[0] == '-') {
            io.err << "spurwerk decode: unbekannte Option \"" << arg << "\".\n";
            Usage(io.err);
            return ExitUsage;
        } else if (input.empty()) {
            input = arg;
        } else {
            io.err << "spurwerk decode: nur eine EINGABE erlaubt, \"" << arg << "\" ist zu viel.\n";
            return ExitUsage;
        }
    }
    if (input.empty() || stackTexts.empty()) {
        io.err << "spurwerk decode: erwartet eine EINGABE und mindestens ein -P DEKODIERER.\n";
        Usage(io.err);
        return ExitUsage;
    }
    if (!KnownRecordingExtension(input)) {
        io.err << "spurwerk decode: unbekannte Dateiendung bei \"" << input
               << "\" (erlaubt: .DIG, .sr, .vcd, .csv).\n";
        return ExitUsage;
    }

    std::vector<sigrokdecode::DecoderStack> setups;
    AnnotationFilter filter;
    try {
        for (const auto& text : stackTexts)
            setups.push_back(sigrokdecode::ParseStack(text));
        for (const auto& text : filterTexts)
            filter.Add(text);
    } catch (const std::exception& error) {
        io.err << "spurwerk decode: " << error.what() << "\n";
        return ExitUsage;
    }

    Feed feed(io, setups, filter, samplenum);
    try {
        sigrok::Context context;
        const std::vector<std::string> late = StreamRecording(context, input, choice, feed);
        feed.Finish();
        for (const std::string& warning : late)
            io.err << "spurwerk decode: Warnung: " << warning << "\n";
    } catch (const std::exception& error) {
        io.out.flush();
        io.err << "spurwerk decode: " << error.what() << "\n";
        return feed.FailureStatus();
    }
    return ExitOk;
}

} // namespace cli
