// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "TestFiles.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

namespace lumara::test {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "lumara-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    root = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(root, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(root, ignored);
}

std::string TempDir::PathOf(std::string_view name) const {
    return (root / name).string();
}

std::string TempDir::Write(std::string_view name, std::string_view bytes) const {
    const std::string path = PathOf(name);
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::ssize(bytes));
    return path;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string ReadPipeWhile(const std::string& pipe, const std::function<void()>& write) {
    std::string received;
    std::thread reader([&] { received = ReadFile(pipe); });
    write();
    reader.join();
    return received;
}

std::string Padded(std::string_view line) {
    std::string padded(line);
    padded.resize(75, ' ');
    return padded;
}

} // namespace lumara::test
