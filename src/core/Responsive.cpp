#include "core/Responsive.h"

#include <chrono>
#include <future>

void runWhilePulsing(const std::function<void()> &work, const std::function<void()> &pulse)
{
    if (!pulse) {
        work();
        return;
    }
    std::future<void> done = std::async(std::launch::async, work);
    while (done.wait_for(std::chrono::milliseconds(30)) != std::future_status::ready)
        pulse();
    done.get();
}
