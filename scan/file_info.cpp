#include "scan/file_info.h"

#include <sys/stat.h>

#include <ctime>

namespace quillow {

bool fileExists(const std::string& path)
{
    struct stat st;
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

int64_t fileModifiedSeconds(const std::string& path, bool* ok)
{
    struct stat st;
    struct tm local;
    if (path.empty() || ::stat(path.c_str(), &st) != 0 || !localtime_r(&st.st_mtim.tv_sec, &local)) {
        if (ok)
            *ok = false;
        return 0;
    }
    if (ok)
        *ok = true;
    return static_cast<int64_t>(st.st_mtim.tv_sec) + local.tm_gmtoff;
}

}  // namespace quillow
