// Splitting work over threads, the one way every library does it.
#pragma once

#include <system_error>
#include <thread>
#include <utility>
#include <vector>

// Runs work(part) for part = 0 to nParts - 1, each on its own thread (part 0 on the calling one), and
// returns when all are done. When the system refuses a thread, the parts still without one run on the
// calling thread after its own, so the work is done either way, only slower.
template <class Work> void RunParts(unsigned nParts, const Work& work) {
    std::vector<std::thread> threads;
    unsigned nInline = 0;
    for (unsigned part = 1; part < nParts; ++part) {
        try {
            threads.emplace_back([&work, part] { work(part); });
        } catch (const std::system_error&) {
            nInline = nParts - part;
            break;
        }
    }
    work(0u);
    for (unsigned part = nParts - nInline; part < nParts; ++part)
        work(part);
    for (std::thread& thread : threads)
        thread.join();
}

// Starts work on a thread of its own while the caller stays live. When the system refuses a thread, the
// work runs here and now instead, and the thread returned is empty (not joinable).
template <class Work> std::thread StartOrRun(Work&& work) {
    try {
        return std::thread(std::forward<Work>(work));
    } catch (const std::system_error&) {
        work();
        return std::thread();
    }
}
