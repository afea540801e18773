// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The rows of the result list: the records of one walk of the catalogue's
// result list, in walk order. Cell texts are made only when a cell is drawn,
// so filling the list costs one pointer per star however long it is.
#pragma once

#include <QAbstractTableModel>
#include <array>
#include <vector>

struct StarRecord;

struct StarListColumn {
    const char* title;
    Qt::Alignment alignment;
    int widthPixels;
};

class StarListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kColumnCount = 7;
    static const std::array<StarListColumn, kColumnCount> kColumns;

    using QAbstractTableModel::QAbstractTableModel;

    // The records stay owned by the catalogue; Clear() must come before the
    // catalogue releases them.
    void SetRows(std::vector<const StarRecord*> rows);
    void Clear();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    static QString CellText(const StarRecord& record, int column);

private:
    std::vector<const StarRecord*> m_rows;
};
