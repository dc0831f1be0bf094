#include "sigrok/SigrokOptions.h"

#include "sigrok/SigrokError.h"

#include <cstdlib>
#include <cstring>
#include <memory>

namespace sigrok {

namespace {

GVariant* ValueOfType(const GVariant* def, const std::string& text) {
    const GVariantType* type = g_variant_get_type(const_cast<GVariant*>(def));
    if (g_variant_type_equal(type, G_VARIANT_TYPE_UINT32))
        return g_variant_new_uint32(static_cast<guint32>(std::strtoul(text.c_str(), nullptr, 10)));
    if (g_variant_type_equal(type, G_VARIANT_TYPE_INT32))
        return g_variant_new_int32(static_cast<gint32>(std::strtol(text.c_str(), nullptr, 10)));
    if (g_variant_type_equal(type, G_VARIANT_TYPE_UINT64))
        return g_variant_new_uint64(std::strtoull(text.c_str(), nullptr, 10));
    if (g_variant_type_equal(type, G_VARIANT_TYPE_INT64))
        return g_variant_new_int64(std::strtoll(text.c_str(), nullptr, 10));
    if (g_variant_type_equal(type, G_VARIANT_TYPE_BOOLEAN))
        return g_variant_new_boolean(text == "true" || text == "1");
    if (g_variant_type_equal(type, G_VARIANT_TYPE_DOUBLE))
        return g_variant_new_double(std::strtod(text.c_str(), nullptr));
    return g_variant_new_string(text.c_str());
}

HashTablePtr Fill(const sr_option** options, const OptionValues& values) {
    HashTablePtr table(g_hash_table_new_full(g_str_hash, g_str_equal, g_free,
                                             reinterpret_cast<GDestroyNotify>(g_variant_unref)));
    for (const auto& [name, text] : values) {
        const sr_option* found = nullptr;
        for (const sr_option** o = options; o && *o; ++o)
            if (std::strcmp((*o)->id, name.c_str()) == 0) found = *o;
        if (!found || !found->def)
            throw Error("libsigrok kennt die Einstellung \"" + name + "\" nicht.");
        g_hash_table_insert(table.get(), g_strdup(name.c_str()),
                            g_variant_ref_sink(ValueOfType(found->def, text)));
    }
    return table;
}

} // namespace

HashTablePtr InputOptions(const sr_input_module* module, const OptionValues& values) {
    const auto release = [](const sr_option** o) {
        if (o) sr_input_options_free(o);
    };
    std::unique_ptr<const sr_option*, decltype(release)> options(sr_input_options_get(module),
                                                                 release);
    return Fill(options.get(), values);
}

HashTablePtr OutputOptions(const sr_output_module* module, const OptionValues& values) {
    const auto release = [](const sr_option** o) {
        if (o) sr_output_options_free(o);
    };
    std::unique_ptr<const sr_option*, decltype(release)> options(sr_output_options_get(module),
                                                                 release);
    return Fill(options.get(), values);
}

} // namespace sigrok
