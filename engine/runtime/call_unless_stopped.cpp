#include "engine/runtime/call_unless_stopped.h"

#include <pthread.h>
#include <signal.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace quillow {

std::optional<int> callUnlessStopped(std::function<int()> call, const std::function<bool()>& stopped,
                                     std::chrono::milliseconds interval)
{
    // Shared with the thread, which may outlive this call.
    struct State {
        std::mutex mutex;
        std::condition_variable done;
        std::optional<int> result;
    };
    auto state = std::make_shared<State>();
    auto job = std::make_shared<std::function<int()>>(std::move(call));
    sigset_t all, before;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, &before);
    try {
        std::thread([state, job] {
            const int result = (*job)();
            const std::lock_guard lock(state->mutex);
            state->result = result;
            state->done.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        pthread_sigmask(SIG_SETMASK, &before, nullptr);
        return (*job)();
    }
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    std::unique_lock lock(state->mutex);
    while (!state->done.wait_for(lock, interval, [&] { return state->result.has_value(); })) {
        lock.unlock();
        const bool stop = stopped();
        lock.lock();
        if (stop && !state->result)
            return std::nullopt;
    }
    return state->result;
}

}  // namespace quillow
