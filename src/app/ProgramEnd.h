#pragma once

namespace tavorin {

// Ends the program at once: every window closes (the About window too), then the event loop
// stops. No question and no message.
void endProgram();

} // namespace tavorin
