#include "data/atomic_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zv {

namespace fs = std::filesystem;

namespace {

// The file that a path names once symbolic links are followed (relative links count from the
// link's folder); a loop ends after as many steps as the systems allow.
fs::path FollowLinks(fs::path path) {
    for (int step = 0; step < 40; ++step) {
        std::error_code ec;
        if (!fs::is_symlink(path, ec))
            break;
        const fs::path next = fs::read_symlink(path, ec);
        if (ec)
            break;
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return path;
}

#ifdef _WIN32

// A new file takes its access rights from its folder, as the file it replaces did.
int CreateTemp(const fs::path& temp, const fs::path&) {
    return _wopen(temp.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
}

bool WriteAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const auto chunk =
            static_cast<unsigned>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        const int n = _write(fd, bytes.data() + done, chunk);
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool FlushToDisk(int fd) {
    return _commit(fd) == 0;
}

int CloseFile(int fd) {
    return _close(fd);
}

// Replaces the target in one step; write-through returns only once the rename is on the disk.
std::string RenameOver(const fs::path& from, const fs::path& to) {
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return {};
    }
    return std::system_category().message(static_cast<int>(GetLastError()));
}

// Windows offers no flush of a folder; the write-through rename stands for it.
void FlushFolder(const fs::path&) {}

#else

// The temporary file starts with the target's permission bits, so that the new contents are
// never readable by more users than the old ones, and takes over owner and group where the
// system allows (otherwise it belongs to the saving user, as a new file would).
int CreateTemp(const fs::path& temp, const fs::path& target) {
    struct stat old {};
    const bool replaces = ::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    const mode_t mode = replaces ? (old.st_mode & 07777) : 0666;
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0 || !replaces)
        return fd;
    if (::fchown(fd, old.st_uid, old.st_gid) != 0 &&
        ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) {
        // Neither owner nor group may be given away: keep the saving user's.
    }
    // Again after the change of owner (which may clear bits) and because open() applied the umask.
    if (::fchmod(fd, mode) != 0) {
        // The umask's narrower bits stay: safe, if not the same.
    }
    return fd;
}

bool WriteAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool FlushToDisk(int fd) {
    return ::fsync(fd) == 0;
}

int CloseFile(int fd) {
    return ::close(fd);
}

std::string RenameOver(const fs::path& from, const fs::path& to) {
    if (::rename(from.c_str(), to.c_str()) == 0)
        return {};
    return std::strerror(errno);
}

// The rename lives in the folder: flushing the folder makes the new name itself durable.
void FlushFolder(const fs::path& folder) {
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

#endif

}  // namespace

std::string WriteFileAtomically(const fs::path& path, const std::string& bytes) {
    const auto failed = [&path](const std::string& reason) {
        const auto name = path.u8string();
        return "Cannot write '" + std::string(name.begin(), name.end()) + "': " + reason;
    };
    const fs::path target = FollowLinks(path);
    fs::path temp = target;
    temp += ".saving~";
    std::error_code ignored;
    fs::remove(temp, ignored);  // left behind by an interrupted save

    const int fd = CreateTemp(temp, target);
    if (fd < 0)
        return failed(std::strerror(errno));
    const bool written = WriteAll(fd, bytes) && FlushToDisk(fd);
    const int writeError = errno;
    const bool closed = CloseFile(fd) == 0;
    if (!written || !closed) {
        fs::remove(temp, ignored);
        return failed(std::string("the disk refused the data (") +
                      std::strerror(written ? errno : writeError) + ")");
    }
    const std::string renameError = RenameOver(temp, target);
    if (!renameError.empty()) {
        fs::remove(temp, ignored);
        return failed(renameError);
    }
    FlushFolder(target.parent_path());
    return {};
}

}  // namespace zv
