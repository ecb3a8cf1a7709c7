#pragma once

#include <chrono>
#include <functional>
#include <future>

// Waits until `done` is ready, calling pulse about every 20 ms meanwhile, so that a window keeps
// repainting while another thread finishes. Without a pulse it simply waits.
template <typename T>
void waitWhilePulsing(const std::future<T> &done, const std::function<void()> &pulse)
{
    if (!pulse) {
        done.wait();
        return;
    }
    while (done.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready)
        pulse();
}

// Runs work on a thread of its own and calls pulse until it is done, so that a window keeps
// repainting through a call that may block for long (the sync of a large file). Rethrows what
// work threw. Without a pulse, work simply runs here.
void runWhilePulsing(const std::function<void()> &work, const std::function<void()> &pulse);
