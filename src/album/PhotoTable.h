#pragma once

#include <QString>
#include <array>
#include <vector>

namespace album {

// The caption fields of one photo, all held as text.
enum class Field { FileName, DateBackup, Title, Name, Date, Description, Rights, Key };

// One row per photo, in the order the folder scan found them. Never fewer than one row:
// an emptied table has exactly one row whose fields are all empty.
class PhotoTable {
public:
    PhotoTable() { Reset(); }

    // Back to one row with every field empty; nothing of an earlier album survives.
    void Reset();
    // One more row, all fields empty.
    void AppendRow();
    // Room for `rows` rows in all, so that a big album is not moved as it grows.
    void Reserve(int rows) { rows_.reserve(std::size_t(rows)); }
    int RowCount() const { return int(rows_.size()); }

    // Defined for 0 <= row < RowCount() only.
    const QString& Get(Field field, int row) const;
    void Set(Field field, int row, const QString& value);

private:
    static constexpr std::size_t FieldCount = 8;
    using Row = std::array<QString, FieldCount>;
    std::vector<Row> rows_;
};

}  // namespace album
