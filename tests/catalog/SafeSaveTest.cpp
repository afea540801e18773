// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Saving over a file never loses it: whatever goes wrong, the old file is
// left byte for byte, and no half-written file is left beside it.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <thread>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "FileSystemFaults.h"
#include "InjectedFaults.h"
#include "StarCatalog.h"
#include "TestFiles.h"

namespace fs = std::filesystem;
using namespace lumara::test;

namespace {

// Enough stars that their export overflows kSmallDisk.
constexpr int kStars = 2000;
constexpr const char* kSmallDisk = "size=64k";
// Room for bytes but not for one more file beside the root and the old one.
constexpr const char* kNoFreeFileEntries = "size=1m,nr_inodes=2";
constexpr uid_t kNobody = 65534;

std::set<std::string> Entries(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

fs::perms PermissionsOf(const std::string& path) {
    return fs::status(path).permissions();
}

// Enough stars that a save lasts long enough to be killed at many moments.
constexpr int kLargeStars = 200000;
constexpr int kKillMoments = 24;

// Whether `folder` takes files without a name, which is what lets a killed
// save leave nothing behind.
bool TakesUnnamedFiles(const std::string& folder) {
#ifdef O_TMPFILE
    const int unnamed = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (unnamed >= 0) {
        ::close(unnamed);
        return true;
    }
#endif
    return false;
}

// The permission bits of the files open in this process below
// `watchedFolder`, as they stand while an export writes: a temporary file
// has no name to look for, and may have none at all.
std::string watchedFolder;
std::atomic<unsigned> modesSeen;
void RecordOpenFileModes() {
    for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        const std::string target = fs::read_symlink(entry.path(), error).string();
        struct stat status {};
        if (!error && target.starts_with(watchedFolder) &&
            ::stat(entry.path().c_str(), &status) == 0 && S_ISREG(status.st_mode)) {
            modesSeen |= status.st_mode & 07777;
        }
    }
}

class SafeSaveTest : public testing::Test {
protected:
    void SetUp() override {
        std::string text;
        for (int i = 0; i < kStars; ++i) {
            text.append(i % 2 ? kMiraLike : kEclipsing).append("\n");
        }
        ASSERT_EQ(catalog.LoadCatalog(dir.Write("catalogue.txt", text).c_str()), kStars);
        ASSERT_EQ(catalog.SaveTxt(dir.PathOf("expected.txt").c_str()), kStars);
        expected = ReadFile(dir.PathOf("expected.txt"));
        ASSERT_EQ(expected.size(), kStars * 77u);
    }

    std::string Folder(const std::string& name) const {
        const std::string folder = dir.PathOf(name);
        fs::create_directory(folder);
        return folder;
    }

    // Both exports fail on `path`, and the folder and the file stay as they
    // were.
    void ExpectBothFailAndKeep(const std::string& path, const std::string& folder) {
        const std::string before = ReadFile(path);
        const std::set<std::string> entries = Entries(folder);
        EXPECT_EQ(catalog.SaveTxt(path.c_str()), -1);
        EXPECT_EQ(catalog.SaveCsv(path.c_str()), -1);
        EXPECT_EQ(ReadFile(path), before);
        EXPECT_EQ(Entries(folder), entries) << "nothing is left behind";
    }

    TempDir dir;
    CStarCatalog catalog;
    std::string expected;
};

} // namespace

TEST_F(SafeSaveTest, AnExistingFileIsReplacedWholeAndNothingElseIsLeft) {
    const std::string folder = Folder("out");
    const std::string path = folder + "/stars.txt";
    std::ofstream(path) << std::string(500000, 'z');
    ASSERT_EQ(catalog.SaveTxt(path.c_str()), kStars);
    EXPECT_EQ(ReadFile(path), expected);
    ASSERT_EQ(catalog.SaveCsv((folder + "/stars.csv").c_str()), kStars);
    EXPECT_EQ(Entries(folder), (std::set<std::string>{"stars.txt", "stars.csv"}));
}

TEST_F(SafeSaveTest, AFullFileSystemKeepsTheOldFile) {
    const std::string folder = Folder("small");
    PrivateMount disk(folder, kSmallDisk);
    if (!disk.Mounted()) {
        GTEST_SKIP() << "no small file system to fill: " << disk.Error();
    }
    const std::string path = folder + "/stars.txt";
    std::ofstream(path) << std::string(20000, 'o');
    ASSERT_EQ(ReadFile(path).size(), 20000u);
    ExpectBothFailAndKeep(path, folder);
    const std::string link = dir.PathOf("link.txt");
    fs::create_symlink(path, link);
    ExpectBothFailAndKeep(link, folder);

    EXPECT_EQ(catalog.SaveTxt((folder + "/new.txt").c_str()), -1);
    EXPECT_FALSE(fs::exists(folder + "/new.txt")) << "no half-written new file either";

    // What fits is still saved over it.
    CStarCatalog few;
    ASSERT_EQ(few.LoadCatalog(DataFile("three-stars.txt").c_str()), 3);
    EXPECT_EQ(few.SaveTxt(path.c_str()), 3);
    EXPECT_EQ(ReadFile(path), ReadFile(DataFile("three-stars-saved.txt")));
}

TEST_F(SafeSaveTest, NoRoomForATemporaryFileKeepsTheOldFile) {
    const std::string folder = Folder("no-entries");
    PrivateMount disk(folder, kNoFreeFileEntries);
    if (!disk.Mounted()) {
        GTEST_SKIP() << "no small file system to fill: " << disk.Error();
    }
    const std::string path = folder + "/stars.txt";
    std::ofstream(path) << "yesterday's stars\n";
    ExpectBothFailAndKeep(path, folder);
}

TEST_F(SafeSaveTest, AReadOnlyFolderKeepsTheOldFile) {
    const std::string folder = Folder("read-only");
    PrivateMount disk(folder, kSmallDisk);
    if (!disk.Mounted()) {
        GTEST_SKIP() << "no file system to make read-only: " << disk.Error();
    }
    const std::string path = folder + "/stars.txt";
    std::ofstream(path) << "yesterday's stars\n";
    if (!disk.MakeReadOnly()) {
        GTEST_SKIP() << disk.Error();
    }
    ExpectBothFailAndKeep(path, folder);
    EXPECT_EQ(catalog.SaveTxt((folder + "/new.txt").c_str()), -1);
}

// As root, permission bits stop nothing, so the user nobody tries.
TEST_F(SafeSaveTest, AFileTheUserMayNotWriteIsKept) {
    const std::string folder = Folder("shared");
    OpenFolderToEveryone(dir.PathOf(""), false);
    OpenFolderToEveryone(folder, true);
    const std::string locked = folder + "/locked.txt";
    const std::string open = folder + "/open.txt";
    std::ofstream(locked) << "not yours\n";
    std::ofstream(open) << "anyone's\n";
    fs::permissions(locked, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::permissions(open, fs::perms::all);

    const int result = RunAsOrdinaryUser([&] {
        const bool lockedKept = catalog.SaveTxt(locked.c_str()) == -1;
        const bool openWritten = catalog.SaveTxt(open.c_str()) == kStars;
        return (lockedKept ? 0 : 1) | (openWritten ? 0 : 2);
    });
    if (result == kNoOrdinaryUser) {
        GTEST_SKIP() << "cannot run as an ordinary user";
    }
    EXPECT_EQ(result & 1, 0) << "a read-only file was replaced";
    EXPECT_EQ(result & 2, 0) << "a file everyone may write was not saved";
    EXPECT_EQ(ReadFile(locked), "not yours\n");
    EXPECT_EQ(ReadFile(open), expected);
    EXPECT_EQ(Entries(folder), (std::set<std::string>{"locked.txt", "open.txt"}));
}

TEST_F(SafeSaveTest, TheOldFilesPermissionsAndOwnerStay) {
    const std::string path = dir.Write("kept.txt", "old");
    for (const fs::perms mode :
         {fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read,
          fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
              fs::perms::others_exec}) {
        fs::permissions(path, mode);
        ASSERT_EQ(catalog.SaveTxt(path.c_str()), kStars);
        EXPECT_EQ(PermissionsOf(path), mode);
        EXPECT_EQ(ReadFile(path), expected);
    }
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(path.c_str(), kNobody, kNobody), 0);
        ASSERT_EQ(catalog.SaveCsv(path.c_str()), kStars);
        struct stat status {};
        ASSERT_EQ(::stat(path.c_str(), &status), 0);
        EXPECT_EQ(status.st_uid, kNobody) << "root saving a user's file leaves it theirs";
        EXPECT_EQ(status.st_gid, kNobody);
    }
}

TEST_F(SafeSaveTest, ANewFileGetsTheUsualPermissions) {
    const mode_t previous = ::umask(027);
    const int written = catalog.SaveTxt(dir.PathOf("new.txt").c_str());
    ::umask(previous);
    ASSERT_EQ(written, kStars);
    EXPECT_EQ(PermissionsOf(dir.PathOf("new.txt")),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

// While it is written, the temporary file is readable by nobody the old file
// or, for a new file, the umask would keep out.
TEST_F(SafeSaveTest, TheTemporaryFileIsNeverMoreOpenThanTheResult) {
    const std::string folder = Folder("watched");
    watchedFolder = folder + "/";
    const std::string kept = dir.Write("watched/kept.txt", "old");
    fs::permissions(kept, fs::perms::owner_read | fs::perms::owner_write);
    const struct {
        std::string path;
        mode_t umask;
        unsigned mode;
    } cases[] = {{kept, 0, 0600}, {folder + "/new.txt", 027, 0640}};
    for (const auto& c : cases) {
        modesSeen = 0;
        const mode_t previous = ::umask(c.umask);
        int written = 0;
        {
            const InjectedFault watch(lumara::FaultPoint::ExportBuffer, &RecordOpenFileModes);
            written = catalog.SaveTxt(c.path.c_str());
        }
        ::umask(previous);
        ASSERT_EQ(written, kStars) << c.path;
        EXPECT_NE(modesSeen, 0u) << "no temporary file was seen";
        EXPECT_EQ(modesSeen & ~c.mode, 0u) << c.path << " was open to more while written";
    }
}

TEST_F(SafeSaveTest, AFolderAsTargetIsLeftAlone) {
    const std::string folder = Folder("a-folder");
    std::ofstream(folder + "/inside.txt") << "kept";
    ExpectBothFailAndKeep(folder + "/inside.txt/", folder);
    for (const std::string& path : {folder, folder + "/"}) {
        EXPECT_EQ(catalog.SaveTxt(path.c_str()), -1) << path;
        EXPECT_EQ(catalog.SaveCsv(path.c_str()), -1) << path;
    }
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(Entries(folder), std::set<std::string>{"inside.txt"});
    EXPECT_EQ(ReadFile(folder + "/inside.txt"), "kept");
}

TEST_F(SafeSaveTest, AMissingFolderIsNotMade) {
    const std::string path = dir.PathOf("missing/stars.txt");
    EXPECT_EQ(catalog.SaveTxt(path.c_str()), -1);
    EXPECT_EQ(catalog.SaveCsv(path.c_str()), -1);
    EXPECT_FALSE(fs::exists(dir.PathOf("missing")));
}

TEST_F(SafeSaveTest, ALinkStaysALinkAndItsFileIsReplaced) {
    const std::string real = Folder("real");
    const std::string links = Folder("links");
    std::ofstream(real + "/stars.txt") << "old";
    fs::create_symlink("../real/stars.txt", links + "/link.txt");
    fs::create_symlink(links + "/link.txt", links + "/link-to-link.txt");
    fs::create_symlink("../real/new.txt", links + "/dangling.txt");

    for (const char* link : {"link.txt", "link-to-link.txt"}) {
        std::ofstream(real + "/stars.txt") << "old";
        ASSERT_EQ(catalog.SaveTxt((links + "/" + link).c_str()), kStars) << link;
        EXPECT_EQ(ReadFile(real + "/stars.txt"), expected) << link;
    }
    EXPECT_EQ(fs::read_symlink(links + "/link.txt"), "../real/stars.txt");
    EXPECT_TRUE(fs::is_symlink(links + "/link-to-link.txt"));

    // A link to a file not there yet makes that file.
    ASSERT_EQ(catalog.SaveTxt((links + "/dangling.txt").c_str()), kStars);
    EXPECT_TRUE(fs::is_symlink(links + "/dangling.txt"));
    EXPECT_EQ(ReadFile(real + "/new.txt"), expected);

    EXPECT_EQ(Entries(real), (std::set<std::string>{"stars.txt", "new.txt"}));
    EXPECT_EQ(Entries(links),
              (std::set<std::string>{"link.txt", "link-to-link.txt", "dangling.txt"}));
}

TEST_F(SafeSaveTest, ALoopOfLinksFails) {
    const std::string folder = Folder("loop");
    fs::create_symlink("b", folder + "/a");
    fs::create_symlink("a", folder + "/b");
    EXPECT_EQ(catalog.SaveTxt((folder + "/a").c_str()), -1);
    EXPECT_EQ(Entries(folder), (std::set<std::string>{"a", "b"}));
}

TEST_F(SafeSaveTest, AFullDeviceIsWrittenDirectlyAndFails) {
    EXPECT_EQ(catalog.SaveTxt("/dev/full"), -1);
    EXPECT_EQ(catalog.SaveCsv("/dev/full"), -1);
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
}

TEST_F(SafeSaveTest, APipeIsWrittenDirectly) {
    const std::string pipe = dir.PathOf("pipe");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    int written = 0;
    const std::string received =
        ReadPipeWhile(pipe, [&] { written = catalog.SaveTxt(pipe.c_str()); });
    EXPECT_EQ(written, kStars);
    EXPECT_EQ(received, expected);
    EXPECT_TRUE(fs::is_fifo(pipe));
}

TEST_F(SafeSaveTest, ASaveKilledAtAnyMomentLeavesTheOldFileOrTheNewOneAndNothingElse) {
    const std::string folder = Folder("killed");
    if (!TakesUnnamedFiles(folder)) {
        GTEST_SKIP() << "the file system here has no unnamed files";
    }
    std::string text;
    for (int i = 0; i < kLargeStars; ++i) {
        text.append(i % 3 ? kMiraLike : kEclipsing).append("\n");
    }
    CStarCatalog large;
    ASSERT_EQ(large.LoadCatalog(dir.Write("large.txt", text).c_str()), kLargeStars);
    const std::string path = folder + "/stars.txt";
    const std::string old = "yesterday's stars\n";

    // One whole save gives the new content and spreads the kills over the
    // time a save takes.
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(large.SaveTxt(path.c_str()), kLargeStars);
    const auto wholeSave = std::chrono::steady_clock::now() - start;
    const std::string complete = ReadFile(path);

    int killed = 0;
    for (int moment = 0; moment < kKillMoments; ++moment) {
        std::ofstream(path, std::ios::trunc) << old;
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::_exit(large.SaveTxt(path.c_str()) == kLargeStars ? 0 : 1);
        }
        std::this_thread::sleep_for(wholeSave * moment / kKillMoments);
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        killed += WIFSIGNALED(status) ? 1 : 0;
        const std::string now = ReadFile(path);
        EXPECT_TRUE(now == old || now == complete) << moment << ": " << now.size() << " bytes";
        std::set<std::string> left = Entries(folder);
        EXPECT_EQ(left.erase("stars.txt"), 1U) << moment;
        // The one instant no system call closes: the finished file has its
        // temporary name and is not yet renamed. The target is then still
        // the old file and the named one the whole new content; a file
        // named any earlier would be caught here half written.
        for (const std::string& name : left) {
            EXPECT_TRUE(name.starts_with(".stars.txt.") && name.ends_with(".tmp")) << name;
            EXPECT_EQ(now, old) << moment;
            EXPECT_EQ(ReadFile(folder + "/" + name), complete) << moment << ": " << name;
            fs::remove(folder + "/" + name);
        }
    }
    EXPECT_GE(killed, kKillMoments / 4) << "the saves ended before most kills";
}

TEST_F(SafeSaveTest, WhereUnnamedFilesAreRefusedANamedTemporaryFileServes) {
    using lumara::FaultPoint;
    const std::string folder = Folder("refused");
    const std::string path = folder + "/stars.txt";
    std::ofstream(path) << "yesterday's stars\n";
    {
        const InjectedFault refused{FaultPoint::UnnamedTemporaryFile};
        ASSERT_EQ(catalog.SaveTxt(path.c_str()), kStars);
        EXPECT_GT(refused.Calls(FaultPoint::NamedTemporaryFile), 0);
    }
    EXPECT_EQ(ReadFile(path), expected);
    EXPECT_EQ(Entries(folder), std::set<std::string>{"stars.txt"});

    // And every failure after either kind of file keeps the old one, and
    // makes no new one.
    for (const auto points : {
             std::initializer_list<FaultPoint>{FaultPoint::LinkTemporaryFile},
             std::initializer_list<FaultPoint>{FaultPoint::Rename},
             std::initializer_list<FaultPoint>{FaultPoint::Fsync},
             std::initializer_list<FaultPoint>{FaultPoint::ExportBuffer},
             std::initializer_list<FaultPoint>{FaultPoint::UnnamedTemporaryFile,
                                               FaultPoint::NamedTemporaryFile},
             std::initializer_list<FaultPoint>{FaultPoint::UnnamedTemporaryFile,
                                               FaultPoint::Rename},
             std::initializer_list<FaultPoint>{FaultPoint::UnnamedTemporaryFile, FaultPoint::Fsync},
         }) {
        const InjectedFault failing(points);
        ExpectBothFailAndKeep(path, folder);
        EXPECT_EQ(catalog.SaveTxt((folder + "/new.txt").c_str()), -1);
        EXPECT_EQ(Entries(folder), std::set<std::string>{"stars.txt"});
        // Only a file without a name is named before the rename.
        for (const FaultPoint point : points) {
            if (point != FaultPoint::LinkTemporaryFile || TakesUnnamedFiles(folder)) {
                EXPECT_GT(failing.Calls(point), 0) << static_cast<int>(point);
            }
        }
    }
}
