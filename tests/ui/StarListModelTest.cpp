// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "StarListModel.h"
#include "StarCatalog.h"

#include <gtest/gtest.h>

namespace {
StarRecord Record(std::int16_t hours, std::int16_t minutes, std::int16_t dec, double period) {
    StarRecord record{};
    record.raHours = hours;
    record.raMinutes = minutes;
    record.dec = dec;
    record.period = period;
    return record;
}

QString Cell(const StarRecord& record, int column) {
    return StarListModel::CellText(record, column);
}
} // namespace

TEST(StarListModelTest, PositionTexts) {
    EXPECT_EQ(Cell(Record(5, 7, 0, 0), 0), "05:07");
    EXPECT_EQ(Cell(Record(23, 59, 0, 0), 0), "23:59");
    EXPECT_EQ(Cell(Record(99, 0, 0, 0), 0), "99:00");
    EXPECT_EQ(Cell(Record(0, 0, -5, 0), 1), "-05");
    EXPECT_EQ(Cell(Record(0, 0, -45, 0), 1), "-45");
    EXPECT_EQ(Cell(Record(0, 0, 7, 0), 1), "07");
    EXPECT_EQ(Cell(Record(0, 0, 0, 0), 1), "00");
    EXPECT_EQ(Cell(Record(0, 0, 90, 0), 1), "90");
}

TEST(StarListModelTest, PeriodTexts) {
    EXPECT_EQ(Cell(Record(0, 0, 0, 1.5), 5), "    1.5000");
    EXPECT_EQ(Cell(Record(0, 0, 0, 0.0), 5), "");
    EXPECT_EQ(Cell(Record(0, 0, 0, 0.00004), 5), "    0.0000");
    EXPECT_EQ(Cell(Record(0, 0, 0, 12000.3), 5), "12000.3000");
    EXPECT_EQ(Cell(Record(0, 0, 0, 99999999.5), 5), "99999999.5000");
}
