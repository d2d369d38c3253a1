#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>
#include <vector>

namespace storage {

// A name a caller gives without the blanks around it (tabs stay), as profile files compare it.
QStringView withoutBlanksAround(QStringView name);

// Names told apart as a profile file tells section names apart (ProfileFile::comparableName:
// blanks around a name and case do not count), each with a number. A big album has one for each
// of its tens of thousands of photos, so the index is held compactly: an open table of hashes
// and places, the names themselves in the order they came and as they were given (an ASCII name
// is folded on the fly, never copied). Filling it, searching it and freeing it then touch little
// memory.
class NameIndex {
public:
    void reserve(qsizetype names);
    qsizetype size() const { return qsizetype(names_.size()); }

    // The number of the name equal to `name`; none when there is none. The pointer holds until
    // the next insert.
    int* find(QStringView name);
    const int* find(QStringView name) const;
    bool contains(QStringView name) const { return find(name) != nullptr; }
    int value(QStringView name, int absent) const;
    // Adds `name`, which is not there yet, with `number`.
    void insert(const QString& name, int number);

private:
    struct Slot {
        std::uint32_t hash = 0;
        std::uint32_t place = 0;  // in names_, plus one; 0: the slot is free
    };

    // The slot holding the name equal to `name` of hash `hash`, or the free slot where it goes.
    std::size_t slotOf(QStringView name, std::uint32_t hash) const;
    void grow();

    std::vector<QString> names_;
    std::vector<int> numbers_;
    std::vector<Slot> slots_;  // a power of two of them, at most half of them taken
};

}  // namespace storage
