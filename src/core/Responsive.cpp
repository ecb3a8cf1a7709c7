#include "core/Responsive.h"

void runWhilePulsing(const std::function<void()> &work, const std::function<void()> &pulse)
{
    if (!pulse) {
        work();
        return;
    }
    std::future<void> done = std::async(std::launch::async, work);
    waitWhilePulsing(done, pulse);
    done.get();
}
