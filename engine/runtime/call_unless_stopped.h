#pragma once
// A system call that may wait long and cannot be interrupted (fsync on a
// slow disk) run where a stop can still be noticed: on a thread of its own,
// while the caller looks at the stop every interval.
#include <chrono>
#include <functional>
#include <optional>

namespace quillow {

// Runs call on a thread of its own, every signal blocked there (a signal
// reaches the thread that waits), and waits for it, asking stopped every
// interval. The call's result, or nullopt when stopped said yes first: the
// call then ends on its own and its result is dropped. Where no thread can
// be started the call runs here.
std::optional<int> callUnlessStopped(std::function<int()> call, const std::function<bool()>& stopped,
                                     std::chrono::milliseconds interval = std::chrono::milliseconds(20));

}  // namespace quillow
