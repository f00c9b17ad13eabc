#pragma once
// Permission tests: root ignores permission bits, so they run as nobody.
#include <functional>
#include <optional>
#include <string>

namespace quillow::testing {

// Runs fn as an unprivileged user in a child process when this process is
// root (which ignores permission bits), else in this process. The result is
// fn's summary text; nullopt when the user cannot be switched.
std::optional<std::string> unprivileged(const std::function<std::string()>& fn);

}  // namespace quillow::testing
