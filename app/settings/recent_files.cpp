#include "app/settings/recent_files.h"

#include <algorithm>

namespace quillow {

void rememberRecentFile(Settings& settings, const std::string& file)
{
    if (file.empty() || file.find('\n') != std::string::npos)
        return;
    forgetRecentFile(settings, file);
    std::vector<std::string>& files = settings.recentFiles;
    files.insert(files.begin(), file);
    if (files.size() > kRecentFileCount)
        files.resize(kRecentFileCount);
}

void forgetRecentFile(Settings& settings, const std::string& file)
{
    std::erase(settings.recentFiles, file);
}

}  // namespace quillow
