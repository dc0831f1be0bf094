#include "search/SyncSetup.h"

#include "search/SearchRoutines.h"

namespace search {

namespace {
bool isNibble(int kind) {
    return kind == KindNibbleLo || kind == KindNibbleHi;
}
} // namespace

KindChoice ResolveKindChange(int tag, int lockedKind, int requested) {
    if (tag <= 0 || requested == lockedKind) return {requested, lockedKind};
    if (isNibble(lockedKind) && isNibble(requested)) return {requested, requested};
    return {lockedKind, lockedKind};
}

void StoreSyncParameters(TriggerSettings& settings, int kind, int line, int edge,
                         std::int32_t hexvalue) {
    const auto low8 = static_cast<std::uint8_t>(hexvalue & 0xFF);
    switch (kind) {
    case KindBits:
        settings.SyncKind = KindBits;
        if (line >= 0) settings.SyncBitMask = static_cast<std::uint8_t>(1u << (line % 8));
        settings.SyncEdge = static_cast<std::uint8_t>(edge);
        break;
    case KindNibbleLo:
        settings.SyncKind = KindNibbleLo;
        settings.SyncNibbleLo = low8;
        break;
    case KindNibbleHi:
        settings.SyncKind = KindNibbleHi;
        settings.SyncNibbleHi = low8;
        break;
    case KindByte:
        settings.SyncKind = KindByte;
        settings.SyncByte = low8;
        break;
    case KindWord:
        settings.SyncKind = KindWord;
        settings.SyncWord =
            static_cast<std::int16_t>(static_cast<std::uint16_t>(hexvalue & 0xFFFF));
        break;
    default:
        break;
    }
}

} // namespace search
