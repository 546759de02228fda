#pragma once

// The library's check, repair and recovery findings in the program's
// language: one line per finding, and the verdict.

#include "mcbridge.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

struct Finding {
    mcb_finding f{};
    std::vector<uint16_t> blocks;
};

// The list the last check, repair or recovery call left in the library.
std::vector<Finding> takeFindings(mcb_card* card, uint32_t count);

// A save as the user sees it: its decoded name.
QString savePlace(const mcb_finding& f);

QString findingLine(const Finding& finding);
QStringList findingLines(const std::vector<Finding>& findings);
QString verdictLine(bool sound, const std::vector<Finding>& findings);
