#pragma once

#include <functional>

// Runs work on a thread of its own and calls pulse about every 30 ms until it is done, so that
// a window keeps repainting through a call that may block for long (the sync of a large file).
// Rethrows what work threw. Without a pulse, work simply runs here.
void runWhilePulsing(const std::function<void()> &work, const std::function<void()> &pulse);
