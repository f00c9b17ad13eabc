#pragma once
// How much memory a scan may use before it works from temporary files: the
// --max-memory option or the maxMemory setting, else what the machine has
// available, never more than an address-space limit leaves.
#include <cstdint>
#include <optional>
#include <string_view>

namespace quillow {

// The setting's value that leaves the limit to the machine.
inline constexpr const char* kAutoMemory = "auto";

// A size in bytes written as digits with an optional K, M, G or T (powers
// of 1024, either case); nullopt when the text is no such size or it is 0.
std::optional<int64_t> parseMemorySize(std::string_view text);

// What the machine has available now (MemAvailable), and no more than the
// address-space or data limit of the process leaves beside what it uses.
int64_t availableMemory();

// The limit a setting names: a size, or (auto, empty or not a size) what
// the machine has available. A size is held to the process's limits too.
int64_t memoryLimit(std::string_view setting);

}  // namespace quillow
