// Drawing passes noted while options are applied in a row, drawn once after.
#include "display/TTrazor.h"

#include <utility>

TTrazor::DeferredDrawing::DeferredDrawing(TTrazor& trazor) : trazor_(trazor) {
    ++trazor_.deferDepth_;
}

TTrazor::DeferredDrawing::~DeferredDrawing() {
    if (--trazor_.deferDepth_ > 0) return;
    try {
        trazor_.drawDeferred();
    } catch (...) {
        // A destructor must not throw. The picture stays as it was and counts
        // as incomplete, so the next scroll draws it whole.
        trazor_.deferred_.clear();
        trazor_.shownPos_ = -1;
    }
}

bool TTrazor::deferPass(Pass pass, std::uint32_t value) {
    // A scroll's passes draw into the moved picture under its clip, now.
    if (deferDepth_ == 0 || drawingDeferred_ || shiftClip_) return false;
    // Clearing and the scale fill the whole picture: what came before them
    // would be covered anyway.
    if (pass == Pass::Clear || pass == Pass::Scale) deferred_.clear();
    deferred_.push_back({pass, value});
    return true;
}

void TTrazor::drawDeferred() {
    if (deferred_.empty() || drawingDeferred_) return;
    const std::vector<NotedPass> passes = std::exchange(deferred_, {});
    drawingDeferred_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{drawingDeferred_};
    for (const NotedPass& noted : passes) {
        switch (noted.pass) {
        case Pass::Clear:
            ClearArea(noted.value);
            break;
        case Pass::Scale:
            DrawScale(static_cast<int>(noted.value));
            break;
        case Pass::BaseLines:
            DrawBaseLines();
            break;
        case Pass::Signals:
            DrawSignals();
            break;
        case Pass::Markers:
            DrawMarkers();
            break;
        }
    }
}
