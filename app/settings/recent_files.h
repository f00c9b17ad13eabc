#pragma once
// File > Open Recent: the files opened last, newest first.
#include <string>

#include "app/settings/settings.h"

namespace quillow {

inline constexpr size_t kRecentFileCount = 10;

// Puts file first (once), keeping at most kRecentFileCount files.
void rememberRecentFile(Settings& settings, const std::string& file);
void forgetRecentFile(Settings& settings, const std::string& file);

}  // namespace quillow
