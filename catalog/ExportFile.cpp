// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ExportFile.h"

#include <atomic>
#include <cerrno>
#include <chrono>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "FaultHook.h"

namespace lumara {

namespace {

// As many links as the system itself follows before it gives up.
constexpr int kMaxLinkHops = 40;
// Temporary names are tried until one is free; a folder full of names that
// are taken is treated as one we cannot write to.
constexpr int kTempNameAttempts = 100;
// Enough of the target's name to tell whose temporary file it is, while the
// whole name stays well inside the system's limit of 255 bytes.
constexpr std::size_t kTempStemChars = 200;
constexpr std::string_view kTempSuffix = ".tmp";
constexpr mode_t kNewFileMode = 0666; // less the umask, as for any new file
constexpr mode_t kPermissionBits = 07777;
constexpr std::size_t kLinkBufferBytes = 4096;
// Room for ".pid-ticks-counter" in hexadecimal.
constexpr std::size_t kUniqueChars = 48;
// The usual page size; writeback starts and ends on a multiple of it.
constexpr std::uint64_t kPageBytes = 4096;
// Room for "/proc/self/fd/" and any descriptor number.
constexpr std::size_t kProcEntryChars = 32;

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A name beside `path` that is hard to guess, so that nobody can have put
// something there in advance; the exclusive create checks that nobody has.
std::string TemporaryNameFor(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    char unique[kUniqueChars];
    std::snprintf(unique, sizeof unique, ".%x-%llx-%x", static_cast<unsigned>(::getpid()),
                  static_cast<unsigned long long>(ticks), counter++);
    const std::string folder = FolderOf(path);
    return (folder == "/" ? "" : folder) + "/." + NameOf(path).substr(0, kTempStemChars) + unique +
           std::string(kTempSuffix);
}

// Follows symbolic links from `path` to what they finally name, which need
// not exist yet. False when the chain is broken by anything but a missing
// last name, or is too long.
bool ResolveLinks(std::string& path, struct stat& status, bool& exists) {
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        if (::lstat(path.c_str(), &status) != 0) {
            exists = false;
            return errno == ENOENT;
        }
        if (!S_ISLNK(status.st_mode)) {
            exists = true;
            return true;
        }
        char link[kLinkBufferBytes];
        const ssize_t length = ::readlink(path.c_str(), link, sizeof link);
        if (length <= 0 || static_cast<std::size_t>(length) == sizeof link) {
            errno = length < 0 ? errno : ENAMETOOLONG;
            return false;
        }
        const std::string next(link, static_cast<std::size_t>(length));
        path = next.front() == '/' ? next : FolderOf(path) + "/" + next;
    }
    errno = ELOOP;
    return false;
}

// Once renamed, the new file is the target; making the folder's entry
// durable can only help, and a failure there cannot bring the old file back,
// so it is not reported.
void SyncFolderOf(const std::string& path) {
    const int folder = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}

// The kernel or the file system knows no unnamed files: an old kernel takes
// the request for a folder opened for writing, a file system without them
// says so.
bool RefusesUnnamedFiles(int error) {
    return error == EOPNOTSUPP || error == EISDIR || error == EINVAL;
}

// A file in `folder` that has no name, so that a save cut short at any
// moment leaves nothing behind: the system frees it with the last descriptor.
int CreateUnnamedFile(const std::string& folder, mode_t mode) {
    if (FaultInjected(FaultPoint::UnnamedTemporaryFile)) {
        errno = EOPNOTSUPP;
        return -1;
    }
#ifdef O_TMPFILE
    return ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
#else
    static_cast<void>(folder);
    static_cast<void>(mode);
    errno = EOPNOTSUPP;
    return -1;
#endif
}

// Gives the unnamed file open as `descriptor` the name `name`. Linking a
// descriptor directly needs a right that ordinary users lack; its entry
// under /proc serves everyone, where /proc is mounted and open to us.
bool NameUnnamedFile(int descriptor, const std::string& name) {
    if (FaultInjected(FaultPoint::LinkTemporaryFile)) {
        errno = ENOSPC;
        return false;
    }
#ifdef AT_EMPTY_PATH
    char procEntry[kProcEntryChars];
    std::snprintf(procEntry, sizeof procEntry, "/proc/self/fd/%d", descriptor);
    if (::linkat(AT_FDCWD, procEntry, AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        return true;
    }
    return errno != EEXIST && ::linkat(descriptor, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0;
#else
    static_cast<void>(descriptor);
    static_cast<void>(name);
    errno = EOPNOTSUPP;
    return false;
#endif
}

int CreateTemporaryFile(const std::string& name, mode_t mode) {
    if (FaultInjected(FaultPoint::NamedTemporaryFile)) {
        errno = ENOSPC;
        return -1;
    }
    return ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
}

bool MakeDurable(std::FILE* file) {
    if (FaultInjected(FaultPoint::Fsync)) {
        errno = EIO;
        return false;
    }
    return ::fsync(::fileno(file)) == 0;
}

bool PutInPlace(const std::string& temporary, const std::string& target) {
    if (FaultInjected(FaultPoint::Rename)) {
        errno = EIO;
        return false;
    }
    return std::rename(temporary.c_str(), target.c_str()) == 0;
}

} // namespace

ExportFile::ExportFile() = default;

ExportFile::~ExportFile() {
    Discard();
}

bool ExportFile::Open(const char* path) {
    std::string resolved = path;
    struct stat status {};
    bool exists = false;
    if (!ResolveLinks(resolved, status, exists)) {
        return Fail();
    }
    if (!exists || S_ISREG(status.st_mode)) {
        original = {exists, static_cast<std::uint32_t>(status.st_mode & kPermissionBits),
                    status.st_uid, status.st_gid};
        return OpenReplacement(resolved);
    }
    if (S_ISDIR(status.st_mode)) {
        errno = EISDIR;
        return Fail();
    }
    return OpenDirect(resolved);
}

bool ExportFile::OpenDirect(const std::string& path) {
    file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return Fail();
    }
    std::setvbuf(file, nullptr, _IONBF, 0);
    return true;
}

bool ExportFile::OpenReplacement(const std::string& path) {
    if (NameOf(path).empty()) {
        errno = EISDIR;
        return Fail();
    }
    // Replacing a file is allowed only where writing it would be: a file the
    // user may not write stays as it is, although its folder would let a
    // rename replace it.
    if (original.exists && ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) {
        return Fail();
    }
    // Never readable by more people than the file it replaces, not even
    // while it is being written.
    const mode_t mode =
        original.exists ? static_cast<mode_t>(original.mode) & kNewFileMode : kNewFileMode;
    const int unnamed = CreateUnnamedFile(FolderOf(path), mode);
    if (unnamed >= 0) {
        return Adopt(unnamed, path, {});
    }
    if (!RefusesUnnamedFiles(errno)) {
        return Fail();
    }
    for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
        std::string name = TemporaryNameFor(path);
        const int descriptor = CreateTemporaryFile(name, mode);
        if (descriptor >= 0) {
            return Adopt(descriptor, path, std::move(name));
        }
        if (errno != EEXIST) {
            return Fail();
        }
    }
    return Fail();
}

bool ExportFile::Adopt(int descriptor, const std::string& path, std::string name) {
    temporary = std::move(name);
    target = path;
    file = ::fdopen(descriptor, "wb");
    if (file == nullptr) {
        Fail();
        ::close(descriptor);
        Discard();
        return false;
    }
    std::setvbuf(file, nullptr, _IONBF, 0);
    return true;
}

// Names the complete unnamed file beside the target, ready for the rename:
// no atomic call replaces a file by an unnamed one, so a name is needed for
// the moment between the two calls.
bool ExportFile::NameTemporaryFile() {
    for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
        std::string name = TemporaryNameFor(target);
        if (NameUnnamedFile(::fileno(file), name)) {
            temporary = std::move(name);
            return true;
        }
        if (errno != EEXIST) {
            return false;
        }
    }
    return false;
}

bool ExportFile::Write(const char* data, std::size_t bytes) {
    if (failed || std::fwrite(data, 1, bytes, file) != bytes) {
        failed = true;
        return Fail();
    }
    StartWriteback(bytesWritten, bytes);
    bytesWritten += bytes;
    return true;
}

// The temporary file has to be on disk before it may replace the target.
// Handing each stretch to the disk as soon as it is written lets the disk
// work while the rest is formatted, so the final fsync has little left to
// wait for. This only starts the writing and reports nothing that fsync
// would not, so its result is ignored.
void ExportFile::StartWriteback(std::uint64_t offset, std::uint64_t bytes) const {
#ifdef __linux__
    // A page that is only partly written would be written to disk twice.
    const std::uint64_t start = offset / kPageBytes * kPageBytes;
    const std::uint64_t end = (offset + bytes) / kPageBytes * kPageBytes;
    if (!target.empty() && end > start) {
        [[maybe_unused]] const int ignored =
            ::sync_file_range(::fileno(file), static_cast<off_t>(start),
                              static_cast<off_t>(end - start), SYNC_FILE_RANGE_WRITE);
    }
#else
    static_cast<void>(offset);
    static_cast<void>(bytes);
#endif
}

bool ExportFile::Finish() {
    bool written = !failed && std::fflush(file) == 0 && std::ferror(file) == 0;
    if (!target.empty()) {
        written = written && KeepOriginalAttributes() && MakeDurable(file) &&
                  (!temporary.empty() || NameTemporaryFile());
    }
    if (!written) {
        Fail();
    }
    const bool closed = std::fclose(file) == 0 || Fail();
    file = nullptr;
    if (target.empty()) {
        return written && closed;
    }
    if (!written || !closed || !PutInPlace(temporary, target)) {
        Fail();
        Discard();
        return false;
    }
    temporary.clear();
    SyncFolderOf(target);
    return true;
}

// Gives the complete temporary file the old file's owner and permissions.
bool ExportFile::KeepOriginalAttributes() {
    if (!original.exists) {
        return true;
    }
    const int descriptor = ::fileno(file);
    struct stat status {};
    if (::fstat(descriptor, &status) != 0) {
        return false;
    }
    // Only the superuser may give a file away, and a user's own copy of a
    // file that was not theirs is what any save by them yields; so a refused
    // change of owner does not stop the save. The permissions are set after
    // it, since a change of owner clears the set-user-ID bit.
    if (status.st_uid != original.owner || status.st_gid != original.group) {
        [[maybe_unused]] const int ignored = ::fchown(descriptor, original.owner, original.group);
    }
    return ::fchmod(descriptor, static_cast<mode_t>(original.mode)) == 0;
}

bool ExportFile::Fail() {
    // A failure that set no reason still has one to tell.
    error = error != 0 ? error : (errno != 0 ? errno : EIO);
    return false;
}

void ExportFile::Discard() {
    if (file != nullptr) {
        std::fclose(file);
        file = nullptr;
    }
    if (!temporary.empty()) {
        std::remove(temporary.c_str());
        temporary.clear();
    }
}

} // namespace lumara
