// The marks of bytes changed in overwrite mode. Only the marked positions
// are kept, so a change near the end of a large file costs no more than
// one near its start.
#pragma once

#include <cstdint>
#include <set>

class TChangeMarks {
public:
    void Set(int32_t aPos, bool aValue);
    bool Has(int32_t aPos) const { return fMarked.count(aPos) != 0; }
    // How far the set reaches: one past the highest position it has held
    // since it was last truncated or cleared.
    int32_t Size() const { return fSize; }
    void Truncate(int32_t aSize);
    void Clear();
    bool Empty() const { return fMarked.empty(); }

private:
    std::set<int32_t> fMarked;
    int32_t fSize = 0;
};
