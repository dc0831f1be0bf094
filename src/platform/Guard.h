#pragma once

#include <functional>
#include <utility>

class Desktop;

// Every entry from Qt into program logic (a slot, a timer, an event handler)
// runs through this guard, so that nothing the logic throws travels through
// Qt's event loop: the message goes to the program's error box, anything that
// is not a std::exception included, and the program runs on.
namespace guard {

// Runs logic; what it throws is shown through desktop, or through the
// application's error desktop when desktop is null.
void Run(Desktop* desktop, const std::function<void()>& logic) noexcept;

// The same as a slot without arguments for connect().
template <class F> auto Slot(Desktop* desktop, F logic) {
    return [desktop, logic = std::move(logic)] { Run(desktop, logic); };
}

} // namespace guard
