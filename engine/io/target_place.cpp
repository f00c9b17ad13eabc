#include "engine/io/target_place.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <deque>

#include "engine/io/file_info.h"

namespace quillow {

namespace {

// As many links as the kernel follows in one path.
constexpr int kMaxLinks = 40;

void splitInto(const std::string& path, std::deque<std::string>& parts, bool atFront)
{
    std::deque<std::string> split;
    size_t from = 0;
    while (from <= path.size()) {
        size_t slash = path.find('/', from);
        if (slash == std::string::npos)
            slash = path.size();
        if (slash > from)
            split.push_back(path.substr(from, slash - from));
        from = slash + 1;
    }
    if (atFront)
        parts.insert(parts.begin(), split.begin(), split.end());
    else
        parts.insert(parts.end(), split.begin(), split.end());
}

// fs.protected_symlinks: a link in a sticky world-writable folder is
// followed only by its owner or when it belongs to the folder's owner.
bool mayFollow(const struct stat& folder, const struct stat& link)
{
    const bool shared = (folder.st_mode & S_ISVTX) && (folder.st_mode & S_IWOTH);
    return !shared || link.st_uid == ::geteuid() || link.st_uid == folder.st_uid;
}

std::string joined(const std::string& folder, const std::string& name)
{
    if (folder.empty())
        return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

}  // namespace

int resolveTarget(const std::string& path, TargetPlace& place, std::string& culprit)
{
    culprit = path;
    if (path.empty())
        return ENOENT;
    std::deque<std::string> parts;
    splitInto(path, parts, false);
    const bool endsInSlash = path.back() == '/';

    const bool absolute = path[0] == '/';
    FileDescriptor folder(::open(absolute ? "/" : ".", O_PATH | O_DIRECTORY | O_CLOEXEC));
    std::string spelled = absolute ? "/" : "";
    struct stat folderSt {};
    if (!folder.valid() || ::fstat(folder.get(), &folderSt) != 0)
        return errno;
    int links = 0;
    // The name at the end came from a link: a link to nothing is nowhere
    // sound to write (it would make a file wherever it points).
    bool endFromLink = false;
    while (!parts.empty()) {
        const std::string part = parts.front();
        parts.pop_front();
        const bool last = parts.empty();
        if (part == "." && !last)
            continue;
        if (last && (part == "." || part == ".."))
            return EISDIR;
        // The link itself, opened: its owner and its text come from the same file.
        FileDescriptor at(::openat(folder.get(), part.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
        struct stat st {};
        if (!at.valid()) {
            const int error = errno;
            if (error == ENOENT && last && !endsInSlash && !endFromLink) {
                place.name = part;
                break;
            }
            return error;
        }
        if (::fstat(at.get(), &st) != 0)
            return errno;
        if (S_ISLNK(st.st_mode)) {
            if (!mayFollow(folderSt, st)) {
                culprit = joined(spelled, part);
                return kUnsafeLinkError;
            }
            // /proc/self/fd/N and its kin name open files, not paths: their
            // text ("pipe:[7]", a file since deleted) is nothing to follow.
            struct statfs fs {};
            if (::fstatfs(folder.get(), &fs) == 0 && fs.f_type == PROC_SUPER_MAGIC)
                return kNotRegularError;
            if (++links > kMaxLinks)
                return ELOOP;
            char text[PATH_MAX];
            const ssize_t n = ::readlinkat(at.get(), "", text, sizeof text);
            if (n < 0)
                return errno;
            if (n == 0 || static_cast<size_t>(n) >= sizeof text)
                return n == 0 ? ENOENT : ENAMETOOLONG;
            const std::string target(text, static_cast<size_t>(n));
            endFromLink = endFromLink || last;
            if (endsInSlash && last)
                parts.push_back(".");
            splitInto(target, parts, true);
            if (target[0] == '/') {
                folder.reset(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
                spelled = "/";
                if (!folder.valid() || ::fstat(folder.get(), &folderSt) != 0)
                    return errno;
            }
            continue;
        }
        if (last && !S_ISDIR(st.st_mode)) {
            if (endsInSlash)
                return ENOTDIR;
            if (!S_ISREG(st.st_mode))
                return kNotRegularError;
            place.name = part;
            place.exists = true;
            place.st = st;
            break;
        }
        if (!S_ISDIR(st.st_mode))
            return ENOTDIR;
        if (last)
            return EISDIR;
        folder = std::move(at);
        folderSt = st;
        spelled = joined(spelled, part);
    }
    // Readable, it can be flushed once the rename is done.
    FileDescriptor readable(::openat(folder.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    place.folderReadable = readable.valid();
    place.folder = readable.valid() ? std::move(readable) : std::move(folder);
    place.folderPath = spelled.empty() ? "." : spelled;
    return 0;
}

}  // namespace quillow
