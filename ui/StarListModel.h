// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The result list as the window shows it. The model owns the catalogue, so
// that whatever rebuilds or sorts the catalogue's result list does so inside
// a reset of the model: no row can refer to a node that is gone. Rows follow
// the result list lazily: a row's node is reached only when the row is
// drawn, and cell texts (and a star's night, for the tonight columns) are
// made only then, so showing a list costs nothing per star however long it
// is. The model only reads: the catalogue searches and sorts.
#pragma once

#include "StarCatalog.h"
#include "StarColumns.h"
#include "Tonight.h"

#include <QAbstractTableModel>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <unordered_map>
#include <vector>

// How the rows follow the catalogue's result list.
enum class RowOrder {
    Hidden, // no rows, whatever the catalogue lists
    Ascending,
    Descending,
};

class StarListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    StarListModel();

    const CStarCatalog& Catalog() const { return m_catalog; }

    // Runs `rebuild` on the catalogue within a reset of the model, then
    // shows the catalogue's result list in `order`, with the tonight columns
    // of `night` when it is given. Returns what `rebuild` returns.
    std::int32_t Rebuild(RowOrder order, std::shared_ptr<const lumara::TonightContext> night,
                         const std::function<std::int32_t(CStarCatalog&)>& rebuild);
    // Shows the rows sorted by the field of `column`; returns what the
    // catalogue's sort returns.
    std::int32_t Sort(int column, bool descending);
    // Saves the result list as the rows show it; the rows stay as they are.
    std::int32_t Save(const char* path, bool asCsv);

    // The night the tonight columns show; null while they are hidden.
    const lumara::TonightContext* Night() const { return m_night.get(); }
    const lumara::ListColumn& ColumnAt(int column) const;
    const StarRecord& RecordAt(int row) const;
    // The given rows, in the order given, under a line of column titles:
    // cells without their padding, separated by tabs, each line ended by a
    // line feed.
    QString TabSeparated(std::span<const int> rows) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // A cell of the seven columns shown without a night.
    static QString CellText(const StarRecord& record, int column);

private:
    // The node shown in `row`: the sorted row, or the node walked to from the
    // nearest node already known.
    const ResultNode* NodeAt(int row) const;
    QString Cell(int row, int column) const;
    // The star's night in `row`, computed once while the rows stay.
    const lumara::StarTonight& NightAt(int row) const;

    CStarCatalog m_catalog;
    RowOrder m_order = RowOrder::Hidden;
    int m_rowCount = 0;
    std::shared_ptr<const lumara::TonightContext> m_night;
    // The columns shown, as indexes into lumara::ListColumns().
    std::vector<std::size_t> m_columns;
    // The node reached last, where the next walk may start. A cache only:
    // nodes live as long as the catalogue's result list, which changes only
    // inside Rebuild.
    mutable const ResultNode* m_reached = nullptr;
    // The nights of the rows drawn so far; emptied when it grows past a few
    // screens, so that scrolling through a long list keeps it small.
    mutable std::unordered_map<int, lumara::StarTonight> m_nights;
};
