#include "engine/io/replacement_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>

#include "engine/io/file_ops.h"
#include "engine/io/temp_name.h"

namespace quillow {

namespace {

// A stale temporary file: older than this, its run is long gone.
constexpr time_t kStaleAfterSeconds = 24 * 60 * 60;

// Tries this many random names before giving up on naming the file.
constexpr int kNameAttempts = 100;

bool procAvailable() { return ::access("/proc/self/fd", X_OK) == 0; }

// A path that names folder's entry name through the descriptor where /proc
// allows (so the folder cannot be swapped under it), else through its path.
std::string pathIn(const TargetPlace& place, const std::string& name)
{
    if (procAvailable())
        return "/proc/self/fd/" + std::to_string(place.folder.get()) + "/" + name;
    return place.folderPath + "/" + name;
}

size_t nameMaxOf(int folder)
{
    const long limit = ::fpathconf(folder, _PC_NAME_MAX);
    return limit > 0 ? static_cast<size_t>(limit) : NAME_MAX;
}

// Removes the temporary files of the target that runs of this user left
// more than a day ago. Only a readable folder can be listed.
void removeStale(const TargetPlace& place)
{
    if (!place.folderReadable)
        return;
    const int listed = ::openat(place.folder.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listed < 0)
        return;
    DIR* dir = ::fdopendir(listed);
    if (!dir) {
        ::close(listed);
        return;
    }
    const size_t nameMax = nameMaxOf(place.folder.get());
    const time_t now = ::time(nullptr);
    while (const dirent* e = ::readdir(dir)) {
        if (!isTemporaryNameOf(place.name, e->d_name, nameMax))
            continue;
        struct stat st {};
        if (::fstatat(place.folder.get(), e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
            st.st_uid == ::geteuid() && now - st.st_mtime > kStaleAfterSeconds)
            fileOps().unlinkat(place.folder.get(), e->d_name, 0);
    }
    ::closedir(dir);
}

}  // namespace

mode_t processUmask()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.starts_with("Umask:"))
            return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

int ReplacementFile::create(const TargetPlace& place, mode_t mode)
{
    discard();
    folder_ = place.folder.get();
    if (procAvailable()) {
        fd_ = fileOps().openat(folder_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
        if (fd_ >= 0)
            return 0;
        // Anything but "no unnamed files here" would fail the named way too.
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            return errno;
    }
    removeStale(place);
    std::string path = pathIn(place, temporaryPath(place.name, "XXXXXX", nameMaxOf(folder_)));
    fd_ = ::mkostemps(path.data(), static_cast<int>(std::string_view(kTempSuffix).size()), O_CLOEXEC);
    if (fd_ < 0)
        return errno;
    name_ = path.substr(path.find_last_of('/') + 1);
    named_ = true;
    pending_ = PendingTempFile(path);
    // mkostemps makes it 0600; a new target gets what open() would give it.
    if (fileOps().fchmod(fd_, mode & ~processUmask()) != 0) {
        const int error = errno;
        discard();
        return error;
    }
    return 0;
}

int ReplacementFile::giveName(const TargetPlace& place)
{
    const std::string self = "/proc/self/fd/" + std::to_string(fd_);
    const size_t nameMax = nameMaxOf(folder_);
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const std::string name = temporaryPath(place.name, randomTag(), nameMax);
        // Registered first: a second Ctrl-C between link and rename removes it.
        PendingTempFile pending(pathIn(place, name));
        if (fileOps().linkat(AT_FDCWD, self.c_str(), folder_, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            name_ = name;
            named_ = true;
            pending_ = std::move(pending);
            return 0;
        }
        if (errno != EEXIST)
            return errno;
    }
    return EEXIST;
}

int ReplacementFile::replace(const TargetPlace& place)
{
    if (!named_)
        if (const int error = giveName(place)) {
            discard();
            return error;
        }
    const int fd = fd_;
    fd_ = -1;
    if (fileOps().close(fd) != 0) {
        const int error = errno;
        discard();
        return error;
    }
    if (fileOps().renameat(folder_, name_.c_str(), folder_, place.name.c_str()) != 0) {
        const int error = errno;
        discard();
        return error;
    }
    named_ = false;
    pending_.release();
    return 0;
}

void ReplacementFile::discard()
{
    if (fd_ >= 0) {
        fileOps().close(fd_);
        fd_ = -1;
    }
    if (named_) {
        fileOps().unlinkat(folder_, name_.c_str(), 0);
        named_ = false;
        pending_.release();
    }
}

}  // namespace quillow
