#pragma once
// How much memory a scan may use before it works from temporary files: the
// --max-memory option or the maxMemory setting, else what the machine has
// available, never more than an address-space limit leaves.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillow {

// The setting's value that leaves the limit to the machine.
inline constexpr const char* kAutoMemory = "auto";

// A size in bytes written as digits with an optional K, M, G or T (powers
// of 1024, either case); nullopt when the text is no such size or it is 0.
std::optional<int64_t> parseMemorySize(std::string_view text);

// What the machine has available now (MemAvailable), no more than the
// memory limit of the process's control group leaves (cgroupMemoryRoom), and
// no more than the address-space or data limit of the process leaves beside
// what it uses.
int64_t availableMemory();

// What the memory limits of the process's control group and of the groups
// above it leave (cgroup v2 memory.max, v1 memory.limit_in_bytes), less what
// each group uses beyond file cache it can drop; nullopt without a limit.
// root prefixes every path read (tests).
std::optional<int64_t> cgroupMemoryRoom(const std::string& root = {});

// The limit a setting names: a size, or (auto, empty or not a size) what
// the machine has available. A size is held to the process's limits too.
int64_t memoryLimit(std::string_view setting);

}  // namespace quillow
