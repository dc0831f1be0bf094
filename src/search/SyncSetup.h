#pragma once

#include "search/TriggerSettings.h"

#include <cstdint>

// The rules of the dialog's set-up mode, apart from the widgets.
namespace search {

struct KindChoice {
    int kind;       // the kind the dialog goes on with
    int lockedKind; // the kind the set-up mode holds to
};

// A change of the search kind to requested. In set-up mode (tag above 0) the
// kind stays locked, except that a nibble set-up may switch between the low
// and the high nibble (and the lock follows).
KindChoice ResolveKindChange(int tag, int lockedKind, int requested);

// OK in set-up mode: stores kind and exactly that kind's parameter. line and
// edge are the chosen indexes (-1 when none), hexvalue the edit field's value.
void StoreSyncParameters(TriggerSettings& settings, int kind, int line, int edge,
                         std::int32_t hexvalue);

} // namespace search
