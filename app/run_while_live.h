// Running long work of a window's command on a thread of its own while the window stays live.
#pragma once

#include <atomic>
#include <functional>

// Runs `work` on its own thread and keeps the window live until it ends, calling `tick` between turns.
// When the application starts to quit, `stop` is raised so the work can end early.
void RunWhileLive(const std::function<void()>& work, std::atomic<bool>& stop,
                  const std::function<void()>& tick);
