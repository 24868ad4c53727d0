#include "app/run_while_live.h"

#include <chrono>
#include <thread>

#include "app/message_pump.h"
#include "base/parallel_parts.h"

void RunWhileLive(const std::function<void()>& work, std::atomic<bool>& stop,
                  const std::function<void()>& tick) {
    std::atomic<bool> done = false;
    std::thread worker = StartOrRun([&] {
        work();
        done = true;
    });
    while (!done) {
        if (!PumpWaitingMessagesNow())
            stop = true;
        tick();
        std::this_thread::sleep_for(std::chrono::milliseconds(15));
    }
    if (worker.joinable())
        worker.join();
}
