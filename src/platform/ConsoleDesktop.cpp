#include "platform/ConsoleDesktop.h"

#include <chrono>
#include <thread>

int ConsoleDesktop::MessageBox(const MessageBoxRequest& request) {
    // Cancelling or declining leaves things as they are; OK is all a box
    // without those offers.
    for (const Button safe : {Cancel, No, Abort, Ok})
        if (request.buttons & safe) return safe;
    return request.buttons;
}

void ConsoleDesktop::Sleep(int milliseconds) {
    if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
