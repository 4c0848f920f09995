#pragma once

#include "core/column.h"

#include <QAbstractListModel>

#include <vector>

namespace ottavario {

// The preview list of the kept columns, one line per column in kept order.
// Lines are made when asked for, so a system of 390,625 columns costs only its
// masks; the view should use uniform item sizes.
class PreviewModel : public QAbstractListModel {
    Q_OBJECT

public:
    explicit PreviewModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    void setColumns(std::vector<ColumnMask> columns);
    void clear();
    const std::vector<ColumnMask>& columns() const { return m_columns; }

private:
    std::vector<ColumnMask> m_columns;
};

} // namespace ottavario
