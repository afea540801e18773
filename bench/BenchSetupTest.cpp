// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The benchmark programs' own options must come out of argv cleanly, or
// Google Benchmark and Qt would refuse, or silently take, what is left.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BenchSetup.h"

using lumara::bench::Options;
using lumara::bench::TakeOptions;

namespace {

struct Arguments {
    explicit Arguments(std::vector<std::string> texts) : storage(std::move(texts)) {
        for (std::string& text : storage) {
            pointers.push_back(text.data());
        }
        pointers.push_back(nullptr);
        count = static_cast<int>(storage.size());
    }
    std::vector<std::string> Left() const { return {pointers.begin(), pointers.begin() + count}; }

    std::vector<std::string> storage;
    std::vector<char*> pointers;
    int count;
};

} // namespace

TEST(BenchSetupTest, TakesItsOwnOptionsAndLeavesTheRestInOrder) {
    Arguments arguments({"bench", "--benchmark_filter=Load", "--stars=100,2000", "--dir=/x/y",
                         "--rounds=3", "--benchmark_repetitions=5"});
    Options options{{1}};
    ASSERT_TRUE(TakeOptions(arguments.count, arguments.pointers.data(), options));
    EXPECT_EQ(arguments.Left(), (std::vector<std::string>{"bench", "--benchmark_filter=Load",
                                                          "--benchmark_repetitions=5"}));
    EXPECT_EQ(arguments.pointers[static_cast<std::size_t>(arguments.count)], nullptr);
    EXPECT_EQ(options.stars, (std::vector<long long>{100, 2000}));
    EXPECT_EQ(options.dir, "/x/y");
    EXPECT_EQ(options.rounds, 3);
}

TEST(BenchSetupTest, KeepsTheDefaultsWhenNotGiven) {
    Arguments arguments({"bench"});
    Options options{{7, 8}};
    ASSERT_TRUE(TakeOptions(arguments.count, arguments.pointers.data(), options));
    EXPECT_EQ(options.stars, (std::vector<long long>{7, 8}));
    EXPECT_EQ(options.dir, lumara::bench::kDefaultDir);
}

TEST(BenchSetupTest, RefusesMalformedCounts) {
    for (const char* bad : {"--stars=", "--stars=0", "--stars=-5", "--stars=12x", "--stars=1,,2",
                            "--stars=3,", "--rounds=0", "--rounds=two"}) {
        Arguments arguments({"bench", bad});
        Options options{{1}};
        EXPECT_FALSE(TakeOptions(arguments.count, arguments.pointers.data(), options)) << bad;
    }
}
