// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Temporary folders and golden files for the tests.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace lumara::test {

// A fresh folder that is removed with everything in it at the end of a test.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string PathOf(std::string_view name) const;
    // Writes the bytes as they are and returns the file's path.
    std::string Write(std::string_view name, std::string_view bytes) const;

private:
    std::filesystem::path root;
};

std::string ReadFile(const std::string& path);
// Runs `write`, which writes into the named pipe at `pipe`, while another
// thread reads the pipe to its end; returns what came through.
std::string ReadPipeWhile(const std::string& pipe, const std::function<void()>& write);
#ifdef LUMARA_TEST_DATA_DIR
// A file in the running suite's own data folder, which each suite names in
// LUMARA_TEST_DATA_DIR.
inline std::string DataFile(std::string_view name) {
    return std::string(LUMARA_TEST_DATA_DIR) + "/" + std::string(name);
}
#endif

// A catalogue line typed as in the file, filled up with spaces to 75 columns.
std::string Padded(std::string_view line);

// The three example lines of the line-format description, as typed.
inline constexpr std::string_view kMiraLike =
    "0536+21   RT Xyz      M           6.20 - 9.85  371.5   long-period giant";
inline constexpr std::string_view kEclipsing =
    "2210-05a  V1234 Xyz   EA/SD     < 9.10 -10.35   12K3   eclipsing system";
inline constexpr std::string_view kNoLightCurve =
    "0012-00   Q           CST                              no light curve";

} // namespace lumara::test
