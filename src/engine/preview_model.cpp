#include "preview_model.h"

#include "column_file.h"

namespace ottavario {

PreviewModel::PreviewModel(QObject* parent)
    : QAbstractListModel(parent)
{
}

int PreviewModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant PreviewModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.parent().isValid() || index.row() < 0
        || index.row() >= rowCount())
        return QVariant();
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)
        return QVariant();
    return previewLine(numbersOf(m_columns[static_cast<size_t>(index.row())]));
}

void PreviewModel::setColumns(std::vector<ColumnMask> columns)
{
    beginResetModel();
    m_columns = std::move(columns);
    endResetModel();
}

void PreviewModel::clear() { setColumns({}); }

} // namespace ottavario
