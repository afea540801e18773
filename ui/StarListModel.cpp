// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "StarListModel.h"

#include <cstdlib>

namespace {
// Nights kept for rows drawn: many screens of rows, a few hundred kilobytes.
constexpr std::size_t kNightCacheRows = 4096;

// The columns shown with or without a night, as indexes into ListColumns().
std::vector<std::size_t> ColumnsShown(bool withNight) {
    std::vector<std::size_t> shown;
    const std::span<const lumara::ListColumn> columns = lumara::ListColumns();
    for (std::size_t column = 0; column < columns.size(); ++column) {
        if (withNight || !columns[column].tonight) {
            shown.push_back(column);
        }
    }
    return shown;
}

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A cell for a spreadsheet: no padding, and no tab or line end of its own.
QString SpreadsheetCell(QString text) {
    text.replace(QLatin1Char('\t'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return text.trimmed();
}
} // namespace

StarListModel::StarListModel() : m_columns(ColumnsShown(false)) {
}

std::int32_t StarListModel::Rebuild(RowOrder order,
                                    std::shared_ptr<const lumara::TonightContext> night,
                                    const std::function<std::int32_t(CStarCatalog&)>& rebuild) {
    beginResetModel();
    const std::int32_t result = rebuild(m_catalog);
    const ResultNode* last = m_catalog.GetLastResult();
    m_order = order;
    m_rowCount = order == RowOrder::Hidden || last == nullptr ? 0 : last->number;
    m_reached = m_catalog.GetFirstResult();
    m_night = std::move(night);
    m_columns = ColumnsShown(m_night != nullptr);
    m_nights.clear();
    endResetModel();
    return result;
}

std::int32_t StarListModel::Sort(int column, bool descending) {
    const lumara::SortBy key{ColumnAt(column).sortBy, descending};
    beginResetModel();
    const std::int32_t result = m_catalog.SortResults({&key, 1}, m_night.get());
    m_nights.clear();
    endResetModel();
    return result;
}

std::int32_t StarListModel::Save(const char* path, bool asCsv) {
    return asCsv ? m_catalog.SaveCsv(path) : m_catalog.SaveTxt(path);
}

const lumara::ListColumn& StarListModel::ColumnAt(int column) const {
    return lumara::ListColumns()[m_columns[static_cast<std::size_t>(column)]];
}

const StarRecord& StarListModel::RecordAt(int row) const {
    return *NodeAt(row)->record;
}

int StarListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rowCount;
}

const ResultNode* StarListModel::NodeAt(int row) const {
    if (m_catalog.IsSorted()) {
        return m_catalog.GetSortedResult(row);
    }
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

const lumara::StarTonight& StarListModel::NightAt(int row) const {
    const auto known = m_nights.find(row);
    if (known != m_nights.end()) {
        return known->second;
    }
    if (m_nights.size() >= kNightCacheRows) {
        m_nights.clear();
    }
    return m_nights.emplace(row, lumara::ObserveRecord(*m_night, RecordAt(row))).first->second;
}

int StarListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QString StarListModel::CellText(const StarRecord& record, int column) {
    const lumara::ListColumn& shown = lumara::ListColumns()[static_cast<std::size_t>(column)];
    return FromUtf8(lumara::CellText(shown.id, record, nullptr, nullptr));
}

QString StarListModel::Cell(int row, int column) const {
    const lumara::ListColumn& shown = ColumnAt(column);
    const lumara::StarTonight* night = shown.tonight ? &NightAt(row) : nullptr;
    return FromUtf8(lumara::CellText(shown.id, RecordAt(row), m_night.get(), night));
}

QVariant StarListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return Cell(index.row(), index.column());
    }
    if (role == Qt::TextAlignmentRole) {
        return headerData(index.column(), Qt::Horizontal, role);
    }
    return {};
}

QVariant StarListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) {
        return {};
    }
    const lumara::ListColumn& column = ColumnAt(section);
    if (role == Qt::DisplayRole) {
        return QString::fromLatin1(column.title);
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue((column.alignRight ? Qt::AlignRight : Qt::AlignLeft) |
                                   Qt::AlignVCenter);
    }
    return {};
}

QString StarListModel::TabSeparated(std::span<const int> rows) const {
    QStringList cells;
    for (int column = 0; column < columnCount(); ++column) {
        cells.append(QString::fromLatin1(ColumnAt(column).title));
    }
    QString text = cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
    for (const int row : rows) {
        cells.clear();
        for (int column = 0; column < columnCount(); ++column) {
            cells.append(SpreadsheetCell(Cell(row, column)));
        }
        text += cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    return text;
}
