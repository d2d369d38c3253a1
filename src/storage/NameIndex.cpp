#include "storage/NameIndex.h"

#include <algorithm>
#include <utility>

namespace storage {

QStringView withoutBlanksAround(QStringView name)
{
    while (!name.isEmpty() && name.front() == u' ')
        name = name.sliced(1);
    while (!name.isEmpty() && name.back() == u' ')
        name.chop(1);
    return name;
}

namespace {

bool isAscii(QStringView s)
{
    return std::all_of(s.begin(), s.end(), [](QChar c) { return c.unicode() < 0x80; });
}

char16_t lowerAscii(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c;
}

// FNV-1a over the code units of the folded name, spread over all bits at the end (the table
// takes the low ones).
std::uint32_t hashOfFolded(QStringView folded, bool lowerAsYouGo)
{
    std::uint32_t h = 2166136261u;
    for (QChar c : folded) {
        h ^= lowerAsYouGo ? lowerAscii(c.unicode()) : c.unicode();
        h *= 16777619u;
    }
    h ^= h >> 16;
    h *= 0x7feb352du;
    h ^= h >> 15;
    h *= 0x846ca68bu;
    h ^= h >> 16;
    return h;
}

// The hash of the name as the file compares it. An ASCII name is folded on the fly; any other is
// case-folded the long way (which may turn some of its letters into ASCII ones: the Kelvin sign
// is a "k").
std::uint32_t nameHash(QStringView name)
{
    name = withoutBlanksAround(name);
    if (isAscii(name))
        return hashOfFolded(name, true);
    return hashOfFolded(name.toString().toCaseFolded(), false);
}

bool sameName(QStringView a, QStringView b)
{
    a = withoutBlanksAround(a);
    b = withoutBlanksAround(b);
    if (isAscii(a) && isAscii(b)) {
        return a.size() == b.size()
               && std::equal(a.begin(), a.end(), b.begin(),
                             [](QChar x, QChar y) { return lowerAscii(x.unicode()) == lowerAscii(y.unicode()); });
    }
    return a.toString().toCaseFolded() == b.toString().toCaseFolded();
}

}  // namespace

void NameIndex::reserve(qsizetype names)
{
    names_.reserve(std::size_t(names));
    numbers_.reserve(std::size_t(names));
    while (qsizetype(slots_.size()) < 2 * names)
        grow();
}

std::size_t NameIndex::slotOf(QStringView name, std::uint32_t hash) const
{
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& slot = slots_[i];
        if (slot.place == 0 || (slot.hash == hash && sameName(names_[slot.place - 1], name)))
            return i;
    }
}

const int* NameIndex::find(QStringView name) const
{
    if (names_.empty())
        return nullptr;
    const Slot& slot = slots_[slotOf(name, nameHash(name))];
    return slot.place == 0 ? nullptr : &numbers_[slot.place - 1];
}

int* NameIndex::find(QStringView name)
{
    return const_cast<int*>(std::as_const(*this).find(name));
}

int NameIndex::value(QStringView name, int absent) const
{
    const int* number = find(name);
    return number ? *number : absent;
}

void NameIndex::insert(const QString& name, int number)
{
    if (2 * (names_.size() + 1) > slots_.size())
        grow();
    const std::uint32_t hash = nameHash(name);
    Slot& slot = slots_[slotOf(name, hash)];
    names_.push_back(name);
    numbers_.push_back(number);
    slot = {hash, std::uint32_t(names_.size())};
}

void NameIndex::grow()
{
    std::vector<Slot> old(std::max<std::size_t>(16, 2 * slots_.size()));
    old.swap(slots_);
    const std::size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
        if (slot.place == 0)
            continue;
        std::size_t i = slot.hash & mask;
        while (slots_[i].place != 0)
            i = (i + 1) & mask;
        slots_[i] = slot;
    }
}

}  // namespace storage
