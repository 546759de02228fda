#include "mcbridge/inspect.h"

#include "mcbridge/card_check.h"
#include "mcbridge/format.h"

#include <cstring>
#include <string>

namespace mcb {

// The library's choice: the newer copy whose checksum holds. A console also
// sets aside a map whose free count is wrong; the check reports that.
bool currentStructures(std::span<const uint8_t> image, Block& directory, Block& map)
{
    SystemCopies s;
    if (!systemCopiesOf(image, s))
        return false;
    auto pick = [](const Block copies[2], auto intact, auto counter) {
        const bool ok[2] = {intact(copies[0]), intact(copies[1])};
        if (ok[0] && ok[1])
            return currentCopy(counter(copies[0]), counter(copies[1]));
        return ok[0] ? 0 : ok[1] ? 1 : -1;
    };
    const int d = pick(s.dir, directoryIntact, directoryCounter);
    const int m = pick(s.map, mapIntact, mapCounter);
    if (d < 0 || m < 0)
        return false;
    directory = s.dir[d];
    map = s.map[m];
    return true;
}

CardReport inspectCard(std::span<const uint8_t> image)
{
    CardReport r;
    SystemCopies s;
    if (!systemCopiesOf(image, s)) {
        r.problems.push_back("the image is " + std::to_string(image.size()) +
                             " bytes long, which is no card size");
        return r;
    }
    r.megabits = getBe16(&s.header[kHeaderSizeMbit]);
    r.headerIntact =
        headerIntact(std::span<const uint8_t, kSectorSize>(s.header.data(), kSectorSize));
    const CheckResult c = checkCard(s);
    r.directoryCopy = c.directoryCopy;
    r.mapCopy = c.mapCopy;
    if (c.directoryCopy >= 0)
        r.directoryCounter = directoryCounter(s.dir[c.directoryCopy]);
    if (c.mapCopy >= 0) {
        r.mapCounter = mapCounter(s.map[c.mapCopy]);
        r.freeBlocks = getBe16(&s.map[c.mapCopy][kMapFree]);
    }
    for (const CheckItem& i : c.items) {
        if (i.f.kind == MCB_FINDING_SAVE)
            r.saves.push_back({unsigned(i.f.slot), i.f.code, i.f.name, i.f.block, i.f.count});
        if (i.f.severity == MCB_SEVERITY_FAULT)
            r.problems.push_back(findingText(i.f));
    }
    return r;
}

} // namespace mcb
