#include "StarListModel.h"
#include "StarCatalog.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {
StarRecord Record(std::int16_t hours, std::int16_t minutes, std::int16_t dec, double period) {
    StarRecord record{};
    record.raHours = hours;
    record.raMinutes = minutes;
    record.dec = dec;
    record.period = period;
    std::strcpy(record.name, "     RT Xyz");
    std::strcpy(record.type, "M       ");
    std::strcpy(record.range, "  6.20 - 9.85 ");
    std::strcpy(record.desc, "\"bright\", red       ");
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

TEST(StarListModelTest, StoredTextsShowUnchanged) {
    const StarRecord record = Record(0, 0, 0, 0);
    EXPECT_EQ(Cell(record, 2), "     RT Xyz");
    EXPECT_EQ(Cell(record, 3), "M       ");
    EXPECT_EQ(Cell(record, 4), "  6.20 - 9.85 ");
    EXPECT_EQ(Cell(record, 6), "\"bright\", red       ");
}

TEST(StarListModelTest, RowsFollowTheGivenOrderAndClear) {
    const StarRecord first = Record(1, 0, 0, 0);
    const StarRecord second = Record(2, 0, 0, 0);
    StarListModel model;
    model.SetRows({&second, &first});
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.index(0, 0).data().toString(), "02:00");
    EXPECT_EQ(model.index(1, 0).data().toString(), "01:00");
    EXPECT_FALSE(model.index(2, 0).data().isValid());
    model.Clear();
    EXPECT_EQ(model.rowCount(), 0);
}
