// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FileSystemFaults.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <thread>

#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace lumara::test {

namespace {

constexpr uid_t kNobody = 65534;
constexpr gid_t kNoGroup = 65534;
constexpr int kChildFailed = 126;

std::string Failure(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

// Once per process: a mount namespace of its own whose mounts do not spread
// back to the machine's.
std::string EnterPrivateNamespace() {
    static const std::string error = []() -> std::string {
        if (::unshare(CLONE_NEWNS) != 0) {
            return Failure("cannot make a mount namespace of our own");
        }
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
            return Failure("cannot make the mounts private");
        }
        return {};
    }();
    return error;
}

} // namespace

PrivateMount::PrivateMount(const std::string& where, const std::string& options) : folder(where) {
    error = EnterPrivateNamespace();
    if (error.empty() && ::mount("lumara-test", folder.c_str(), "tmpfs", 0, options.c_str()) != 0) {
        error = Failure("cannot mount a tmpfs");
    }
}

PrivateMount::~PrivateMount() {
    if (Mounted()) {
        ::umount2(folder.c_str(), MNT_DETACH);
    }
}

bool PrivateMount::MakeReadOnly() {
    if (::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0) {
        error = Failure("cannot remount read-only");
        return false;
    }
    return true;
}

int RunAsOrdinaryUser(const std::function<int()>& check) {
    const pid_t child = ::fork();
    if (child < 0) {
        return kNoOrdinaryUser;
    }
    if (child == 0) {
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(kNoGroup) != 0 || ::setuid(kNobody) != 0)) {
            ::_exit(kNoOrdinaryUser);
        }
        // An exception must not carry the child back into the test program,
        // which would then run the remaining tests a second time.
        try {
            ::_exit(check());
        } catch (...) {
            ::_exit(kChildFailed);
        }
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        return kChildFailed;
    }
    return WEXITSTATUS(status);
}

bool ForbidMoreThreads() {
    const rlimit oneProcess{1, 1};
    if (::setrlimit(RLIMIT_NPROC, &oneProcess) != 0) {
        return false;
    }
    try {
        std::thread([] {}).join();
        return false;
    } catch (const std::system_error&) {
        return true;
    }
}

void OpenFolderToEveryone(const std::string& folder, bool writable) {
    using std::filesystem::perms;
    std::filesystem::permissions(folder, writable ? perms::all
                                                  : perms::owner_all | perms::group_read |
                                                        perms::group_exec | perms::others_read |
                                                        perms::others_exec);
}

} // namespace lumara::test
