#include "hexedit/changemarks.h"

#include <algorithm>

void TChangeMarks::Set(int32_t aPos, bool aValue)
{
    if (aPos < 0)
        return;
    if (aValue) {
        fMarked.insert(aPos);
        fSize = std::max(fSize, aPos + 1);
    } else if (aPos < fSize) {
        fMarked.erase(aPos);
    }
}

void TChangeMarks::Truncate(int32_t aSize)
{
    aSize = std::max(0, aSize);
    if (aSize >= fSize)
        return;
    fMarked.erase(fMarked.lower_bound(aSize), fMarked.end());
    fSize = aSize;
}

void TChangeMarks::Clear()
{
    fMarked.clear();
    fSize = 0;
}
