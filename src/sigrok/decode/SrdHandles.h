#pragma once

// Owning types for the decoder library's handles. Only this folder's sources
// include this header (and with it the library's own).

#include <libsigrokdecode/libsigrokdecode.h>

#include <memory>

namespace sigrokdecode::detail {

struct SessionDeleter {
    void operator()(srd_session* s) const { srd_session_destroy(s); }
};
using SessionPtr = std::unique_ptr<srd_session, SessionDeleter>;

struct HashTableDeleter {
    void operator()(GHashTable* t) const { g_hash_table_unref(t); }
};
// Keys are g_strdup'ed strings, values GVariants with a reference of their own.
using VariantTable = std::unique_ptr<GHashTable, HashTableDeleter>;
inline VariantTable NewVariantTable() {
    return VariantTable(g_hash_table_new_full(g_str_hash, g_str_equal, g_free,
                                              reinterpret_cast<GDestroyNotify>(g_variant_unref)));
}
inline void Insert(GHashTable* table, const std::string& key, GVariant* floating) {
    g_hash_table_insert(table, g_strdup(key.c_str()), g_variant_ref_sink(floating));
}

} // namespace sigrokdecode::detail
