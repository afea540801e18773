// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The result list as the window shows it. The model owns the catalogue, so
// that whatever rebuilds the catalogue's result list does so inside a reset
// of the model: no row can refer to a node that is gone. Rows follow the
// result list lazily: a row's node is reached only when the row is drawn,
// and cell texts are made only then, so showing a list costs nothing per
// star however long it is.
#pragma once

#include "StarCatalog.h"

#include <QAbstractTableModel>
#include <array>
#include <cstdint>
#include <functional>

struct StarListColumn {
    const char* title;
    Qt::Alignment alignment;
    int widthPixels;
};

// How the rows follow the catalogue's result list.
enum class RowOrder {
    Hidden, // no rows, whatever the catalogue lists
    Ascending,
    Descending,
};

class StarListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kColumnCount = 7;
    static const std::array<StarListColumn, kColumnCount> kColumns;

    using QAbstractTableModel::QAbstractTableModel;

    const CStarCatalog& Catalog() const { return m_catalog; }

    // Runs `rebuild` on the catalogue within a reset of the model, then
    // shows the catalogue's result list in `order`. Returns what `rebuild`
    // returns.
    std::int32_t Rebuild(RowOrder order, const std::function<std::int32_t(CStarCatalog&)>& rebuild);
    // Saves the result list; the rows stay as they are.
    std::int32_t Save(const char* path, bool asCsv);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    static QString CellText(const StarRecord& record, int column);

private:
    // The node shown in `row`, walked to from the nearest node already known.
    const ResultNode* NodeAt(int row) const;

    CStarCatalog m_catalog;
    RowOrder m_order = RowOrder::Hidden;
    int m_rowCount = 0;
    // The node reached last, where the next walk may start. A cache only:
    // nodes live as long as the catalogue's result list, which changes only
    // inside Rebuild.
    mutable const ResultNode* m_reached = nullptr;
};
