#include "scan/file_info.h"

#include <sys/stat.h>

#include <ctime>

namespace quillow {

FileInfo fileInfo(const std::string& path)
{
    FileInfo info;
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return info;
    info.exists = true;
    info.size = st.st_size;
    // Local time to the second, as the modification date is shown and compared.
    struct tm local {};
    time_t t = st.st_mtim.tv_sec;
    localtime_r(&t, &local);
    info.modifiedSeconds = static_cast<int64_t>(t) + local.tm_gmtoff;
    return info;
}

}  // namespace quillow
