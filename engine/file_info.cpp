#include "engine/file_info.h"

#include <sys/stat.h>

namespace quillow {

FileInfo fileInfo(const std::string& path)
{
    FileInfo info;
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return info;
    info.exists = true;
    info.size = st.st_size;
    // Whole seconds; compared for equality only, so epoch seconds serve and a
    // daylight-saving change between scan and save cannot fake a change.
    info.modifiedSeconds = static_cast<int64_t>(st.st_mtim.tv_sec);
    return info;
}

}  // namespace quillow
