#include "sigrok/SigrokDevice.h"

#include "sigrok/SigrokContext.h"
#include "sigrok/SigrokDevices.h"
#include "sigrok/SigrokError.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace sigrok {

namespace {

struct VariantDelete {
    void operator()(GVariant* v) const { g_variant_unref(v); }
};
using VariantPtr = std::unique_ptr<GVariant, VariantDelete>;

std::string Reason(Context& context, int rc) {
    if (!context.LastMessage().empty()) return context.LastMessage();
    return ErrorCodeText(rc);
}

bool IsLogicAnalyzer(const sr_dev_driver* driver) {
    GArray* options = sr_dev_options(driver, nullptr, nullptr);
    if (!options) return false;
    bool logic = false;
    for (guint i = 0; i < options->len; ++i)
        logic = logic || g_array_index(options, std::uint32_t, i) == SR_CONF_LOGIC_ANALYZER;
    g_array_free(options, TRUE);
    return logic;
}

bool TakesScanOption(const sr_dev_driver* driver, std::uint32_t key) {
    GArray* options = sr_driver_scan_options_list(driver);
    if (!options) return false;
    bool takes = false;
    for (guint i = 0; i < options->len; ++i)
        takes = takes || g_array_index(options, std::uint32_t, i) == key;
    g_array_free(options, TRUE);
    return takes;
}

const sr_key_info& KeyInfo(const std::string& name) {
    const sr_key_info* info = sr_key_info_name_get(SR_KEY_CONFIG, name.c_str());
    if (!info) throw Error("libsigrok kennt die Geräteeinstellung \"" + name + "\" nicht.");
    return *info;
}

// A text value as the GVariant type libsigrok expects for the key (floating).
GVariant* ValueFor(const sr_key_info& info, const std::string& text) {
    const auto bad = [&]() -> GVariant* {
        throw Error("Der Wert \"" + text + "\" passt nicht zur Geräteeinstellung \"" + info.id +
                    "\".");
    };
    switch (info.datatype) {
    case SR_T_UINT64: {
        if (text == "0") return g_variant_new_uint64(0);
        const auto value = ParseQuantity(text);
        return value ? g_variant_new_uint64(*value) : bad();
    }
    case SR_T_INT32: {
        char* end = nullptr;
        errno = 0;
        const long value = std::strtol(text.c_str(), &end, 10);
        if (text.empty() || *end || errno || value < INT32_MIN || value > INT32_MAX) return bad();
        return g_variant_new_int32(static_cast<gint32>(value));
    }
    case SR_T_STRING:
        return g_variant_new_string(text.c_str());
    case SR_T_BOOL:
        if (text == "1" || text == "true" || text == "yes" || text == "on" || text.empty())
            return g_variant_new_boolean(TRUE);
        if (text == "0" || text == "false" || text == "no" || text == "off")
            return g_variant_new_boolean(FALSE);
        return bad();
    case SR_T_FLOAT: {
        char* end = nullptr;
        const double value = std::strtod(text.c_str(), &end);
        if (text.empty() || *end) return bad();
        return g_variant_new_double(value);
    }
    default:
        throw Error(std::string("Die Geräteeinstellung \"") + info.id +
                    "\" lässt sich hier nicht setzen.");
    }
}

struct ScanOptionList {
    GSList* list = nullptr;
    ~ScanOptionList() {
        for (GSList* l = list; l; l = l->next) {
            auto* config = static_cast<sr_config*>(l->data);
            g_variant_unref(config->data);
            g_free(config);
        }
        g_slist_free(list);
    }
};

std::string Text(const char* s) {
    return s ? s : "";
}

} // namespace

std::vector<sr_dev_driver*> LogicDrivers(Context& context) {
    std::vector<sr_dev_driver*> drivers;
    sr_dev_driver** all = sr_driver_list(context.Raw());
    for (; all && *all; ++all)
        if (IsLogicAnalyzer(*all)) drivers.push_back(*all);
    return drivers;
}

sr_dev_driver* FindDriver(Context& context, const std::string& name) {
    sr_dev_driver** all = sr_driver_list(context.Raw());
    for (; all && *all; ++all) {
        if (name != (*all)->name) continue;
        if (const int rc = sr_driver_init(context.Raw(), *all); rc != SR_OK)
            throw Error("Der libsigrok-Treiber " + name + " startet nicht (" + Reason(context, rc) +
                        ").");
        return *all;
    }
    throw Error("libsigrok kennt keinen Treiber namens \"" + name + "\".");
}

std::vector<sr_dev_inst*> ScanInstances(sr_dev_driver* driver, const DeviceSpec& spec) {
    ScanOptionList options;
    for (const auto& [name, value] : spec.options) {
        const sr_key_info& info = KeyInfo(name);
        if (!TakesScanOption(driver, info.key)) continue;
        auto* config = static_cast<sr_config*>(g_malloc0(sizeof(sr_config)));
        config->key = info.key;
        config->data = g_variant_ref_sink(ValueFor(info, value));
        options.list = g_slist_append(options.list, config);
    }
    GSList* found = sr_driver_scan(driver, options.list);
    std::vector<sr_dev_inst*> devices;
    for (GSList* l = found; l; l = l->next)
        devices.push_back(static_cast<sr_dev_inst*>(l->data));
    g_slist_free(found);
    return devices;
}

namespace {

int CountLogic(const sr_dev_inst* device) {
    int count = 0;
    for (GSList* l = sr_dev_inst_channels_get(device); l; l = l->next)
        if (static_cast<const sr_channel*>(l->data)->type == SR_CHANNEL_LOGIC) ++count;
    return count;
}

SampleRates ListRates(const sr_dev_driver* driver, const sr_dev_inst* device) {
    SampleRates rates;
    GVariant* raw = nullptr;
    if (sr_config_list(driver, device, nullptr, SR_CONF_SAMPLERATE, &raw) != SR_OK || !raw)
        return rates;
    const VariantPtr all(raw);
    gsize count = 0;
    if (GVariant* list = g_variant_lookup_value(all.get(), "samplerates", G_VARIANT_TYPE("at"))) {
        const auto* values =
            static_cast<const guint64*>(g_variant_get_fixed_array(list, &count, sizeof(guint64)));
        rates.listed.assign(values, values + count);
        g_variant_unref(list);
    }
    if (GVariant* steps =
            g_variant_lookup_value(all.get(), "samplerate-steps", G_VARIANT_TYPE("at"))) {
        const auto* values =
            static_cast<const guint64*>(g_variant_get_fixed_array(steps, &count, sizeof(guint64)));
        if (count == 3 && values[2] > 0 && values[0] <= values[1]) {
            rates.low = values[0];
            rates.high = values[1];
            rates.step = values[2];
        }
        g_variant_unref(steps);
    }
    return rates;
}

std::uint64_t ReadRate(const sr_dev_driver* driver, const sr_dev_inst* device) {
    GVariant* value = nullptr;
    if (sr_config_get(driver, device, nullptr, SR_CONF_SAMPLERATE, &value) != SR_OK || !value)
        return 0;
    const VariantPtr owned(value);
    return g_variant_is_of_type(value, G_VARIANT_TYPE_UINT64) ? g_variant_get_uint64(value) : 0;
}

} // namespace

DeviceInfo DescribeInstance(const DeviceSpec& scanSpec, sr_dev_inst* device) {
    DeviceInfo info;
    info.spec = scanSpec;
    info.vendor = Text(sr_dev_inst_vendor_get(device));
    info.model = Text(sr_dev_inst_model_get(device));
    info.connection = Text(sr_dev_inst_connid_get(device));
    info.logicChannels = CountLogic(device);
    const sr_dev_driver* driver = sr_dev_inst_driver_get(device);
    info.rates = ListRates(driver, device);
    info.currentRateHz = ReadRate(driver, device);
    // A device found among several is found again by its connection.
    if (!info.connection.empty() &&
        std::none_of(scanSpec.options.begin(), scanSpec.options.end(),
                     [](const auto& o) { return o.first == "conn"; }) &&
        TakesScanOption(driver, SR_CONF_CONN))
        info.spec.options.emplace_back("conn", info.connection);
    return info;
}

OpenDevice::OpenDevice(Context& context, const DeviceSpec& spec)
    : context_(context), driver_(FindDriver(context, spec.driver)), name_(spec.driver) {
    context.ClearLog();
    try {
        Open(spec);
    } catch (...) {
        sr_dev_clear(driver_);
        throw;
    }
}

void OpenDevice::Open(const DeviceSpec& spec) {
    const std::vector<sr_dev_inst*> found = ScanInstances(driver_, spec);
    if (found.empty())
        throw Error("Kein Gerät des libsigrok-Treibers " + spec.driver + " gefunden" +
                    (context_.LastMessage().empty() ? "" : " (" + context_.LastMessage() + ")") +
                    ".");
    sr_dev_inst* device = found.front();
    const std::string model = Text(sr_dev_inst_model_get(device));
    if (!model.empty()) {
        const std::string vendor = Text(sr_dev_inst_vendor_get(device));
        name_ = vendor.empty() ? model : vendor + " " + model;
    }
    if (const int rc = sr_dev_open(device); rc != SR_OK)
        throw Error("Das Gerät " + name_ + " lässt sich nicht öffnen (" + Reason(context_, rc) +
                    ").");
    device_ = device;
}

void OpenDevice::ApplySettings(const DeviceSpec& spec) {
    for (const auto& [key, value] : spec.options) {
        const sr_key_info& info = KeyInfo(key);
        if (TakesScanOption(driver_, info.key)) continue;
        const VariantPtr variant(g_variant_ref_sink(ValueFor(info, value)));
        bool set = sr_config_set(device_, nullptr, info.key, variant.get()) == SR_OK;
        for (GSList* l = sr_dev_inst_channel_groups_get(device_); l && !set; l = l->next)
            set = sr_config_set(device_, static_cast<sr_channel_group*>(l->data), info.key,
                                variant.get()) == SR_OK;
        if (!set)
            throw Error("Das Gerät " + name_ + " nimmt die Einstellung " + key + "=" + value +
                        " nicht an.");
    }
}

OpenDevice::~OpenDevice() {
    if (device_) sr_dev_close(device_);
    // The scan's instances belong to the driver until it is told to forget them.
    sr_dev_clear(driver_);
}

SampleRates OpenDevice::Rates() const {
    return ListRates(driver_, device_);
}

std::uint64_t OpenDevice::CurrentRate() const {
    return ReadRate(driver_, device_);
}

void OpenDevice::SetRate(std::uint64_t hz) {
    const SampleRates rates = Rates();
    const std::string refused =
        "Das Gerät " + name_ + " nimmt die Abtastrate " + RateText(hz) + " nicht an";
    if (!rates.Empty() && !rates.Accepts(hz)) {
        const std::vector<std::uint64_t> choices = rates.Choices();
        throw Error(refused + "; es bietet " + RateText(choices.front()) + " bis " +
                    RateText(choices.back()) + ".");
    }
    context_.ClearLog();
    const VariantPtr value(g_variant_ref_sink(g_variant_new_uint64(hz)));
    if (const int rc = sr_config_set(device_, nullptr, SR_CONF_SAMPLERATE, value.get());
        rc != SR_OK)
        throw Error(refused + " (" + Reason(context_, rc) + ").");
}

bool OpenDevice::SetSampleLimit(std::uint64_t samples) {
    const VariantPtr value(g_variant_ref_sink(g_variant_new_uint64(samples)));
    return sr_config_set(device_, nullptr, SR_CONF_LIMIT_SAMPLES, value.get()) == SR_OK;
}

int OpenDevice::LogicChannels() const {
    return CountLogic(device_);
}

std::vector<sr_channel*> OpenDevice::LogicChannelList() const {
    std::vector<sr_channel*> channels;
    for (GSList* l = sr_dev_inst_channels_get(device_); l; l = l->next) {
        auto* channel = static_cast<sr_channel*>(l->data);
        if (channel->type == SR_CHANNEL_LOGIC) channels.push_back(channel);
    }
    return channels;
}

void OpenDevice::EnableLines(std::uint16_t lines) {
    const std::vector<sr_channel*> channels = LogicChannelList();
    for (std::size_t n = 0; n < channels.size(); ++n)
        sr_dev_channel_enable(channels[n], n < 16 && ((lines >> n) & 1u) ? TRUE : FALSE);
}

std::vector<int> OpenDevice::TriggerMatches() const {
    GVariant* raw = nullptr;
    if (sr_config_list(driver_, device_, nullptr, SR_CONF_TRIGGER_MATCH, &raw) != SR_OK || !raw)
        return {};
    const VariantPtr owned(raw);
    if (!g_variant_is_of_type(raw, G_VARIANT_TYPE("ai"))) return {};
    gsize count = 0;
    const auto* values =
        static_cast<const gint32*>(g_variant_get_fixed_array(raw, &count, sizeof(gint32)));
    return {values, values + count};
}

bool OpenDevice::SetCaptureRatio(int percent) {
    const VariantPtr value(g_variant_ref_sink(g_variant_new_uint64(std::uint64_t(percent))));
    return sr_config_set(device_, nullptr, SR_CONF_CAPTURE_RATIO, value.get()) == SR_OK;
}

std::vector<std::string> OpenDevice::LogicChannelNames() const {
    std::vector<std::string> names;
    for (GSList* l = sr_dev_inst_channels_get(device_); l; l = l->next) {
        const auto* channel = static_cast<const sr_channel*>(l->data);
        if (channel->type == SR_CHANNEL_LOGIC)
            names.emplace_back(channel->name ? channel->name : "");
    }
    return names;
}

} // namespace sigrok
