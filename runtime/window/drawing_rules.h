// What every drawing backend does alike, whatever the window system: the width a display picture
// asks for, the order of a message box's buttons, its answer when it is closed without one, and
// how long a window stays on screen after the program closed it.
#pragma once

#include <string_view>
#include <vector>

#include "runtime/window/window_backend.h"

namespace runtime {

// The characters a display picture shows: "s40" 40, "n-15.2" 15, "p###.###.###-##p" 14.
int PictureWidth(std::string_view picture);

// The buttons of a message box request, in the order they stand: OK, Yes, No, Abort, Retry,
// Ignore, Cancel, Help. No button at all gives OK.
std::vector<int> MessageButtons(const MessageRequest& request);

// The answer of a message box closed from its title bar: Cancel where there is one, else the
// default button.
int ClosedMessageAnswer(const MessageRequest& request);

// The milliseconds a window stays on screen after the program closed it (VARDIMO_WINDOW_HOLD, in
// seconds), for demonstrations and pictures; 0 by default and for anything unreadable.
int WindowHoldMilliseconds();

}  // namespace runtime
