// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "StarListModel.h"

#include "LineFormat.h"

#include <charconv>
#include <cstdlib>

namespace {
enum Column { kRa, kDec, kName, kType, kMagnitude, kPeriod, kDescription };

constexpr int kPeriodWidth = 10;
// Room for a period of any size with its four decimals.
constexpr std::size_t kPeriodCapacity = 320;
constexpr int kTwoDigits = 2;

// At least the given number of digits, with a minus sign in front of them
// when negative: -5 reads "-05".
QString Padded(int value, int digits) {
    const QString magnitude = QString::number(std::abs(value)).rightJustified(digits, u'0');
    return value < 0 ? QLatin1Char('-') + magnitude : magnitude;
}

QString PeriodText(double period) {
    if (period == 0.0) {
        return {};
    }
    std::array<char, kPeriodCapacity> text;
    const auto result = std::to_chars(text.data(), text.data() + text.size(), period,
                                      std::chars_format::fixed, lumara::format::kPeriodDecimals);
    return QString::fromLatin1(text.data(), result.ptr - text.data())
        .rightJustified(kPeriodWidth, QLatin1Char(' '));
}
} // namespace

const std::array<StarListColumn, StarListModel::kColumnCount> StarListModel::kColumns = {{
    {"R.A.", Qt::AlignRight, 40},
    {"Dec.", Qt::AlignRight, 35},
    {"Name", Qt::AlignRight, 75},
    {"Type", Qt::AlignLeft, 70},
    {"Magnitude", Qt::AlignLeft, 95},
    {"Period", Qt::AlignRight, 75},
    {"Description", Qt::AlignLeft, 120},
}};

std::int32_t StarListModel::Rebuild(RowOrder order,
                                    const std::function<std::int32_t(CStarCatalog&)>& rebuild) {
    beginResetModel();
    const std::int32_t result = rebuild(m_catalog);
    const ResultNode* last = m_catalog.GetLastResult();
    m_order = order;
    m_rowCount = order == RowOrder::Hidden || last == nullptr ? 0 : last->number;
    m_reached = m_catalog.GetFirstResult();
    endResetModel();
    return result;
}

std::int32_t StarListModel::Save(const char* path, bool asCsv) {
    return asCsv ? m_catalog.SaveCsv(path) : m_catalog.SaveTxt(path);
}

int StarListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rowCount;
}

const ResultNode* StarListModel::NodeAt(int row) const {
    const std::int32_t wanted = m_order == RowOrder::Ascending ? row + 1 : m_rowCount - row;
    const auto distance = [wanted](const ResultNode* node) {
        return std::abs(static_cast<std::int64_t>(node->number) - wanted);
    };
    // A view draws rows next to the ones it drew last, or jumps to an end.
    const ResultNode* node = m_reached;
    for (const ResultNode* end : {m_catalog.GetFirstResult(), m_catalog.GetLastResult()}) {
        if (distance(end) < distance(node)) {
            node = end;
        }
    }
    while (node->number < wanted) {
        node = node->next;
    }
    while (node->number > wanted) {
        node = node->prev;
    }
    m_reached = node;
    return node;
}

int StarListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QString StarListModel::CellText(const StarRecord& record, int column) {
    switch (column) {
    case kRa:
        return Padded(record.raHours, kTwoDigits) + QLatin1Char(':') +
               Padded(record.raMinutes, kTwoDigits);
    case kDec:
        return Padded(record.dec, kTwoDigits);
    case kName:
        return QString::fromLatin1(record.name);
    case kType:
        return QString::fromLatin1(record.type);
    case kMagnitude:
        return QString::fromLatin1(record.range);
    case kPeriod:
        return PeriodText(record.period);
    case kDescription:
        return QString::fromLatin1(record.desc);
    default:
        return {};
    }
}

QVariant StarListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return CellText(*NodeAt(index.row())->record, index.column());
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(kColumns[static_cast<std::size_t>(index.column())].alignment |
                                   Qt::AlignVCenter);
    }
    return {};
}

QVariant StarListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount) {
        return {};
    }
    const StarListColumn& column = kColumns[static_cast<std::size_t>(section)];
    if (role == Qt::DisplayRole) {
        return QString::fromLatin1(column.title);
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(column.alignment | Qt::AlignVCenter);
    }
    return {};
}
