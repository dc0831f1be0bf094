#include "sigrok/SigrokImport.h"

#include "front/SystemError.h"
#include "sigrok/ChannelChoice.h"
#include "sigrok/DeviceSpec.h"
#include "sigrok/RegularFile.h"
#include "sigrok/SigrokContext.h"
#include "sigrok/SigrokError.h"
#include "sigrok/SigrokHandles.h"
#include "sigrok/SigrokOptions.h"
#include "sigrok/VcdReader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <limits>
#include <optional>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace sigrok {

namespace {

// 64 Mi samples: the window's longest buffer, 128 MB of address space.
constexpr std::size_t ReservedSamples = std::size_t(1) << 26;
// Samples handed to a SampleReceiver at once.
constexpr std::size_t StreamBlockSamples = std::size_t(1) << 16;

std::string Quote(const std::string& path) {
    return "Die Datei " + path;
}

Error NoLogicChannels(const std::string& path) {
    return Error(Quote(path) + " enthält keine Logikkanäle.");
}

// Gathers the logic packets of one device into frames.
class Collector {
  public:
    Collector(const ImportOptions& options, const std::string& path,
              SampleReceiver* receiver = nullptr)
        : maxSamples_(options.maxSamples), wanted_(options.channels), path_(path),
          receiver_(receiver) {}

    void OnPacket(const sr_dev_inst* device, const sr_datafeed_packet* packet) {
        if (error_) return;
        try {
            if (packet->type == SR_DF_META)
                OnMeta(static_cast<const sr_datafeed_meta*>(packet->payload));
            if (packet->type == SR_DF_LOGIC)
                OnLogic(device, static_cast<const sr_datafeed_logic*>(packet->payload));
        } catch (...) {
            error_ = std::current_exception();
        }
    }

    // Channels and rate of a device that sent no logic data (an empty file).
    void TakeDevice(const sr_dev_inst* device) {
        if (!haveChannels_) ReadChannels(device);
    }

    // Tells the receiver of a file without samples what the file has.
    void EndStream() {
        if (receiver_ && !begun_) Begin();
    }

    // The rate the file names outside the data, until the data says one.
    void KnowRate(std::uint64_t rateHz) {
        if (!rateHz_ && rateHz > 0) rateHz_ = rateHz;
    }

    // Reading can stop: the samples wanted are there, or taking them failed.
    bool Full() const { return cut_ || error_; }
    bool HaveChannels() const { return haveChannels_; }
    void Rethrow() const {
        if (error_) std::rethrow_exception(error_);
    }

    ImportResult Result() && {
        ImportResult result = Head();
        result.frames.samples = std::move(frames_.samples);
        result.cut = cut_;
        return result;
    }

  private:
    // What is known before the samples: channels, lines and rate.
    ImportResult Head() const {
        ImportResult result;
        result.frames.names = frames_.names;
        result.frames.timeBase =
            rateHz_ ? sampling::TimeBase::Exact(sampling::SamplePeriod::FromRateHz(*rateHz_))
                    : sampling::TimeBase::Nominal();
        result.fileChannels = fileChannels_;
        result.taken = taken_;
        return result;
    }

    void Begin() {
        begun_ = true;
        if (frames_.names.empty())
            throw NoLogicChannels(path_);
        receiver_->Begin(Head());
    }

    void OnMeta(const sr_datafeed_meta* meta) {
        for (GSList* l = meta->config; l; l = l->next) {
            const auto* config = static_cast<const sr_config*>(l->data);
            if (config->key == SR_CONF_SAMPLERATE) {
                const std::uint64_t rate = g_variant_get_uint64(config->data);
                if (rate > 0) rateHz_ = rate;
            }
        }
    }

    void ReadChannels(const sr_dev_inst* device) {
        std::vector<const sr_channel*> logic;
        for (GSList* l = sr_dev_inst_channels_get(device); l; l = l->next) {
            const auto* channel = static_cast<const sr_channel*>(l->data);
            if (channel->type == SR_CHANNEL_LOGIC && channel->enabled) logic.push_back(channel);
        }
        std::stable_sort(logic.begin(), logic.end(), [](const sr_channel* a, const sr_channel* b) {
            return a->index < b->index;
        });
        for (std::size_t c = 0; c < logic.size(); ++c) {
            const char* name = logic[c]->name;
            fileChannels_.push_back(name && *name ? name : DefaultLineName(static_cast<int>(c)));
        }
        haveChannels_ = true;
        taken_ = ChooseChannels(wanted_, fileChannels_);
        for (const int c : taken_) {
            frames_.names.push_back(fileChannels_[std::size_t(c)]);
            bits_.push_back(logic[std::size_t(c)]->index);
        }
        if (!rateHz_) {
            // Session files keep their rate as a device setting.
            GVariant* value = nullptr;
            const sr_dev_driver* driver = sr_dev_inst_driver_get(device);
            if (driver &&
                sr_config_get(driver, device, nullptr, SR_CONF_SAMPLERATE, &value) == SR_OK &&
                value) {
                if (const std::uint64_t rate = g_variant_get_uint64(value)) rateHz_ = rate;
                g_variant_unref(value);
            }
        }
    }

    void OnLogic(const sr_dev_inst* device, const sr_datafeed_logic* logic) {
        if (!haveChannels_) ReadChannels(device);
        if (cut_ || logic->unitsize == 0) return;
        const std::size_t unit = logic->unitsize;
        const std::size_t count = logic->length / unit;
        const auto* data = static_cast<const std::uint8_t*>(logic->data);
        if (receiver_) {
            if (!begun_) Begin();
            // A packet of a session file is some megabytes: handed on in blocks.
            block_.resize(std::min(count, StreamBlockSamples));
            for (std::size_t first = 0; first < count; first += block_.size()) {
                const std::size_t n = std::min(block_.size(), count - first);
                Convert(data + first * unit, unit, n, block_.data());
                receiver_->Take(block_.data(), n);
            }
            return;
        }
        const std::size_t room = maxSamples_ - frames_.samples.size();
        const std::size_t take = std::min(count, room);
        if (count > room) cut_ = true;
        const std::size_t start = frames_.samples.size();
        if (start == 0) {
            // Address space for as many samples as may come, up to the longest
            // buffer: pages are only taken as they are written, and the vector
            // never moves its samples while a long file streams in (growing by
            // doubling copied and faulted in twice the data, most of the time
            // an import of millions of samples took).
            frames_.samples.reserve(std::min(maxSamples_, ReservedSamples));
        }
        frames_.samples.resize(start + take);
        Convert(data, unit, take, frames_.samples.data() + start);
    }

    // The taken channels of `count` samples of `unit` bytes each, as words.
    void Convert(const std::uint8_t* data, std::size_t unit, std::size_t count,
                 std::uint16_t* out) const {
        // The usual case, channels 0..n-1 in the first bits, takes whole words.
        bool dense = true;
        for (std::size_t line = 0; line < bits_.size(); ++line)
            dense = dense && bits_[line] == static_cast<int>(line);
        const std::uint16_t mask = static_cast<std::uint16_t>((1u << bits_.size()) - 1);
        for (std::size_t i = 0; i < count; ++i, data += unit) {
            std::uint16_t word = 0;
            if (dense) {
                word = data[0];
                if (unit > 1) word = static_cast<std::uint16_t>(word | (data[1] << 8));
                word &= mask;
            } else {
                for (std::size_t line = 0; line < bits_.size(); ++line) {
                    const std::size_t bit = static_cast<std::size_t>(bits_[line]);
                    if (bit / 8 < unit && ((data[bit / 8] >> (bit % 8)) & 1))
                        word = static_cast<std::uint16_t>(word | (1u << line));
                }
            }
            out[i] = word;
        }
    }

    std::size_t maxSamples_;
    std::vector<std::string> wanted_;
    std::string path_;
    SampleReceiver* receiver_;
    std::vector<std::uint16_t> block_; // one block on its way to receiver_
    bool begun_ = false;
    std::vector<std::string> fileChannels_;
    std::vector<int> taken_;
    LogicFrames frames_;
    std::vector<int> bits_;
    std::optional<std::uint64_t> rateHz_;
    bool haveChannels_ = false;
    bool cut_ = false;
    std::exception_ptr error_;
};

struct FeedTarget {
    Collector* collector;
    sr_session* session;
};

void CollectPacket(const sr_dev_inst* device, const sr_datafeed_packet* packet, void* data) {
    auto* target = static_cast<FeedTarget*>(data);
    const bool wasFull = target->collector->Full();
    target->collector->OnPacket(device, packet);
    // A running session (a session file) is told once to stop feeding.
    if (!wasFull && target->collector->Full() && sr_session_is_running(target->session))
        sr_session_stop(target->session);
}

bool HasLogicChannel(const sr_dev_inst* device) {
    for (GSList* l = sr_dev_inst_channels_get(device); l; l = l->next)
        if (static_cast<const sr_channel*>(l->data)->type == SR_CHANNEL_LOGIC) return true;
    return false;
}

// libsigrok opens session files by name; refuse what is no regular file first
// (a fifo would block, a directory gives an unclear message).
void RequireRegularFile(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        throw Error(Quote(path) + " kann nicht gelesen werden: " + SystemErrorText(errno));
    if (!S_ISREG(info.st_mode)) throw Error(Quote(path) + " ist keine gewöhnliche Datei.");
}

Error ReadFailure(Context& context, const std::string& path, const std::string& what,
                  int rc = SR_OK) {
    std::string message = Quote(path) + " kann nicht importiert werden: " + what;
    if (!context.LastMessage().empty())
        message += " (libsigrok: " + context.LastMessage() + ")";
    else if (rc != SR_OK)
        message += std::string(" (libsigrok: ") + ErrorCodeText(rc) + ")";
    return Error(message + ".");
}

void ImportSession(Context& context, const std::string& path, Collector& collector) {
    const PrivateMainContext mainContext;
    sr_session* raw = nullptr;
    const int rc = sr_session_load(context.Raw(), path.c_str(), &raw);
    const SessionPtr session(raw);
    if (rc != SR_OK || !session)
        throw ReadFailure(context, path, "keine lesbare sigrok-Sitzungsdatei");
    FeedTarget target{&collector, session.get()};
    sr_session_datafeed_callback_add(session.get(), &CollectPacket, &target);
    const bool ran =
        sr_session_start(session.get()) == SR_OK && sr_session_run(session.get()) == SR_OK;
    collector.Rethrow();
    if (!ran) throw ReadFailure(context, path, "die Daten lassen sich nicht lesen");
    if (context.ErrorLogged()) throw ReadFailure(context, path, "die Daten sind beschädigt");
    if (!collector.HaveChannels()) {
        GSList* devices = nullptr;
        if (sr_session_dev_list(session.get(), &devices) == SR_OK && devices)
            collector.TakeDevice(static_cast<const sr_dev_inst*>(devices->data));
        g_slist_free(devices);
    }
}

// The rate a CSV names in its leading comment lines, as libsigrok's writer
// puts it there ("; Samplerate: 1 MHz"); libsigrok's reader does not look.
std::optional<std::uint64_t> CsvCommentRate(int fd) {
    char head[16384];
    const ssize_t n = ::pread(fd, head, sizeof head, 0);
    if (n <= 0) return std::nullopt;
    std::string_view text(head, static_cast<std::size_t>(n));
    constexpr std::string_view key = "; Samplerate:";
    while (!text.empty() && text.front() == ';') {
        const auto nl = text.find('\n');
        const std::string_view line = text.substr(0, nl);
        if (line.substr(0, key.size()) == key)
            return ParseQuantity(std::string(line.substr(key.size())));
        if (nl == std::string_view::npos) break;
        text.remove_prefix(nl + 1);
    }
    return std::nullopt;
}

void ImportCsv(Context& context, const std::string& path, Collector& collector) {
    const FileHandle file = OpenRegularFile(path, Quote(path));

    const sr_input_module* module = sr_input_find(const_cast<char*>("csv"));
    if (!module) throw Error("libsigrok fehlt das Eingabemodul csv.");
    OptionValues values;
    if (const auto rate = CsvCommentRate(file.Get()); rate && *rate > 0) {
        values.emplace_back("samplerate", std::to_string(*rate));
        collector.KnowRate(*rate); // libsigrok says it only with the first samples
    }
    const HashTablePtr options = InputOptions(module, values);
    const InputPtr input(sr_input_new(module, options.get()));
    if (!input) throw ReadFailure(context, path, "libsigrok nimmt die Datei nicht an");

    sr_session* raw = nullptr;
    if (sr_session_new(context.Raw(), &raw) != SR_OK)
        throw ReadFailure(context, path, "keine libsigrok-Sitzung");
    const SessionPtr session(raw);
    FeedTarget target{&collector, session.get()};
    sr_session_datafeed_callback_add(session.get(), &CollectPacket, &target);

    // Small enough that little is read past the end of what is taken.
    constexpr std::size_t chunk = 64 * 1024;
    const GStringPtr buffer(g_string_sized_new(chunk));
    sr_dev_inst* device = nullptr;
    // A file without a logic channel is refused as soon as its header has
    // been read, before any data is passed on.
    const auto addDevice = [&] {
        if (device) return;
        device = sr_input_dev_inst_get(input.get());
        if (!device) return;
        if (!HasLogicChannel(device)) throw NoLogicChannels(path);
        sr_session_dev_add(session.get(), device);
    };
    for (;;) {
        g_string_set_size(buffer.get(), chunk);
        const ssize_t n = ::read(file.Get(), buffer->str, chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0)
            throw Error(Quote(path) + " kann nicht gelesen werden: " + SystemErrorText(errno));
        if (n == 0) break;
        g_string_set_size(buffer.get(), static_cast<gsize>(n));
        if (const int rc = sr_input_send(input.get(), buffer.get()); rc != SR_OK)
            throw ReadFailure(context, path, "libsigrok kann den Inhalt nicht lesen", rc);
        addDevice();
        collector.Rethrow();
        if (collector.Full()) break;
    }
    if (!collector.Full()) {
        addDevice();
        if (const int rc = sr_input_end(input.get()); rc != SR_OK)
            throw ReadFailure(context, path, "libsigrok kann den Inhalt nicht lesen", rc);
    }
    collector.Rethrow();
    if (context.ErrorLogged()) throw ReadFailure(context, path, "der Inhalt ist fehlerhaft");
    if (device) collector.TakeDevice(device);
}

void ReadThrough(Context& context, ExchangeFormat format, const std::string& path,
                 Collector& collector) {
    if (format == ExchangeFormat::Session) {
        RequireRegularFile(path);
        ImportSession(context, path, collector);
    } else {
        ImportCsv(context, path, collector);
    }
}

} // namespace

std::vector<std::string> ImportResult::Dropped() const {
    std::vector<std::string> dropped;
    for (std::size_t c = 0; c < fileChannels.size(); ++c)
        if (std::find(taken.begin(), taken.end(), int(c)) == taken.end())
            dropped.push_back(fileChannels[c]);
    return dropped;
}

ImportResult ImportFile(Context& context, ExchangeFormat format, const std::string& path,
                        const ImportOptions& options) {
    context.ClearLog();
    if (format == ExchangeFormat::Vcd) return ReadVcd(path, options);
    Collector collector(options, path);
    ReadThrough(context, format, path, collector);
    ImportResult result = std::move(collector).Result();
    if (result.frames.names.empty()) throw NoLogicChannels(path);
    return result;
}

ImportResult StreamFile(Context& context, ExchangeFormat format, const std::string& path,
                        const ImportOptions& options, SampleReceiver& receiver) {
    context.ClearLog();
    if (format == ExchangeFormat::Vcd) return StreamVcd(path, options, receiver);
    ImportOptions unlimited = options;
    unlimited.maxSamples = std::numeric_limits<std::size_t>::max();
    Collector collector(unlimited, path, &receiver);
    ReadThrough(context, format, path, collector);
    collector.EndStream();
    return std::move(collector).Result();
}

ImportResult ImportFile(Context& context, ExchangeFormat format, const std::string& path,
                        std::size_t maxSamples) {
    ImportOptions options;
    options.maxSamples = maxSamples;
    return ImportFile(context, format, path, options);
}

} // namespace sigrok
