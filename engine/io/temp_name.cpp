#include "engine/io/temp_name.h"

#include <sys/random.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <ctime>

namespace quillow {

std::string randomTag()
{
    static constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    unsigned char bytes[8];
    if (::getrandom(bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes)) {
        // No entropy source: the clock and the process still differ between runs.
        uint64_t seed = static_cast<uint64_t>(::getpid()) * 0x9E3779B97F4A7C15ull ^
                        static_cast<uint64_t>(reinterpret_cast<uintptr_t>(&seed)) ^ static_cast<uint64_t>(::time(nullptr));
        for (unsigned char& b : bytes) {
            seed = seed * 6364136223846793005ull + 1442695040888963407ull;
            b = static_cast<unsigned char>(seed >> 56);
        }
    }
    std::string tag;
    for (unsigned char b : bytes)
        tag += kAlphabet[b % (sizeof kAlphabet - 1)];
    return tag;
}

std::string temporaryPath(std::string_view target, std::string_view tag, size_t nameMax)
{
    const size_t slash = target.find_last_of('/');
    const size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    std::string_view name = target.substr(nameStart);
    const std::string_view suffix = kTempSuffix;
    const size_t added = 1 + tag.size() + suffix.size();
    const size_t room = nameMax > added ? nameMax - added : 0;
    if (name.size() > room) {
        // Cut before a UTF-8 continuation byte, not inside a character.
        size_t cut = room;
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
            --cut;
        name = name.substr(0, cut);
    }
    std::string path(target.substr(0, nameStart));
    path.append(name).append(".").append(tag).append(suffix);
    return path;
}

bool isTemporaryNameOf(std::string_view name, std::string_view candidate, size_t nameMax)
{
    const auto alphanumeric = [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    };
    const size_t suffixLength = std::string_view(kTempSuffix).size();
    for (size_t tagLength = 6; tagLength <= 8; ++tagLength) {
        const std::string shape = temporaryPath(name, std::string(tagLength, 'x'), nameMax);
        if (candidate.size() != shape.size())
            continue;
        const size_t tagStart = shape.size() - suffixLength - tagLength;
        const std::string_view tag = candidate.substr(tagStart, tagLength);
        if (candidate.substr(0, tagStart) == std::string_view(shape).substr(0, tagStart) &&
            candidate.ends_with(kTempSuffix) && std::all_of(tag.begin(), tag.end(), alphanumeric))
            return true;
    }
    return false;
}

}  // namespace quillow
