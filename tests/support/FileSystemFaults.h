// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Making the file system misbehave for one test: a small or read-only file
// system of the test's own, and a check run with an ordinary user's rights
// (the tests run as root in CI, and root ignores permission bits).
#pragma once

#include <functional>
#include <string>

namespace lumara::test {

// A memory file system mounted at `folder` in a mount namespace of this test
// process alone, so that nothing outside sees it and nothing is left mounted
// if the test dies. Needs the right to mount; Mounted() says whether it
// worked and Error() why not.
class PrivateMount {
public:
    PrivateMount(const std::string& folder, const std::string& options);
    ~PrivateMount();
    PrivateMount(const PrivateMount&) = delete;
    PrivateMount& operator=(const PrivateMount&) = delete;

    bool Mounted() const { return error.empty(); }
    const std::string& Error() const { return error; }
    // False (with Error() set) when it cannot be remounted.
    bool MakeReadOnly();

private:
    std::string folder;
    std::string error;
};

// The exit code that RunAsOrdinaryUser gives when it could not start the
// check with lesser rights.
inline constexpr int kNoOrdinaryUser = 125;

// The exit code of a check whose premise did not hold, such as
// ForbidMoreThreads failing.
inline constexpr int kPremiseFailed = 124;

// Runs `check` in a child process that has given up root's rights for those
// of the user nobody, and returns the child's exit code.
int RunAsOrdinaryUser(const std::function<int()>& check);

// For a check run as an ordinary user: limits the user to the one process,
// so that no further thread can be started. False when one still can.
bool ForbidMoreThreads();

// Lets everyone into `folder`, and writing there too when `writable`, so that
// an ordinary user can reach the files in it.
void OpenFolderToEveryone(const std::string& folder, bool writable);

} // namespace lumara::test
