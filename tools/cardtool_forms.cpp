#include "cardtool_forms.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>

namespace cardtool {

std::optional<mcb::SaveFormat> formatForName(const std::string& path, std::string& error)
{
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    for (mcb::SaveFormat f : {mcb::SaveFormat::Gci, mcb::SaveFormat::Gcs, mcb::SaveFormat::Sav})
        if (ext == mcb::formatExtension(f))
            return f;
    if (ext.empty())
        return mcb::SaveFormat::Gci;
    error = path + ": cardtool writes saves as .gci, .gcs or .sav files, and '" + ext +
            "' is none of them (nothing was written)";
    return std::nullopt;
}

int batchSummary(std::size_t total, const std::string& verb,
                 const std::vector<std::string>& failures)
{
    std::printf("%zu of %zu save%s %s\n", total - failures.size(), total, total == 1 ? "" : "s",
                verb.c_str());
    std::fflush(stdout);
    if (failures.empty())
        return 0;
    std::fprintf(stderr, "cardtool: %zu failed:\n", failures.size());
    for (const std::string& f : failures)
        std::fprintf(stderr, "  %s\n", f.c_str());
    return 1;
}

} // namespace cardtool
