#include "album/PhotoTable.h"

#include <QtGlobal>

namespace album {

void PhotoTable::Reset()
{
    rows_.assign(1, Row{});
}

void PhotoTable::AppendRow()
{
    rows_.emplace_back();
}

const QString& PhotoTable::Get(Field field, int row) const
{
    Q_ASSERT(row >= 0 && row < RowCount());
    return rows_[std::size_t(row)][std::size_t(field)];
}

void PhotoTable::Set(Field field, int row, const QString& value)
{
    Q_ASSERT(row >= 0 && row < RowCount());
    rows_[std::size_t(row)][std::size_t(field)] = value;
}

}  // namespace album
