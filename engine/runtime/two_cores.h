#pragma once
// The scan's big passes over a file split their work in two when a second
// core is there and the work is large enough to pay for a thread.
#include <cstdint>
#include <exception>
#include <future>
#include <system_error>
#include <thread>

namespace quillow {

// Files of this many bytes or more are read and split on two cores.
inline constexpr int64_t kTwoCoresFromBytes = int64_t{16} << 20;

// True when work of this size (bytes or lines) is worth a second thread.
inline bool worthTwoCores(int64_t work, int64_t threshold)
{
    return work >= threshold && std::thread::hardware_concurrency() > 1;
}

// Runs job(0) here and, when split is set, job(1) on a second thread at the
// same time; waits for both and rethrows what either threw (job(0)'s first).
// Where no thread can be started (a process or memory limit), job(1) runs
// here after job(0): the parts never wait for each other.
template <typename Job>
void onTwoCores(bool split, Job job)
{
    if (!split) {
        job(0);
        return;
    }
    std::future<void> second;
    try {
        second = std::async(std::launch::async, [&] { job(1); });
    } catch (const std::system_error&) {
        job(0);
        job(1);
        return;
    }
    try {
        job(0);
    } catch (...) {
        second.wait();
        throw;
    }
    second.get();
}

}  // namespace quillow
