#include "cardtool_copy.h"

#include <cstdio>
#include <filesystem>

namespace cardtool {

namespace {

int failWith(const std::string& what)
{
    std::fprintf(stderr, "cardtool: %s\n", what.c_str());
    return 1;
}

std::string imageFile(const std::string& device)
{
    std::error_code e;
    const std::filesystem::path p(device.substr(6));
    const auto canonical = std::filesystem::weakly_canonical(p, e);
    return e ? std::filesystem::absolute(p, e).string() : canonical.string();
}

} // namespace

bool sameCard(const std::string& a, const std::string& b)
{
    const bool imageA = a.rfind("image:", 0) == 0, imageB = b.rfind("image:", 0) == 0;
    if (imageA && imageB)
        return imageFile(a) == imageFile(b);
    return a == b;
}

std::optional<CopyRequest> parseCopy(const std::vector<std::string>& args, std::string& error)
{
    error = "copy takes --from DEVICE SLOT... --to DEVICE";
    if (args.size() < 5 || args[0] != "--from" || args[args.size() - 2] != "--to")
        return std::nullopt;
    CopyRequest r;
    r.from = args[1];
    r.to = args.back();
    r.slots.assign(args.begin() + 2, args.end() - 2);
    for (const std::string& s : r.slots)
        if (s == "--from" || s == "--to")
            return std::nullopt;
    if (r.from.empty() || r.to.empty()) {
        error = "copy needs a device on either side";
        return std::nullopt;
    }
    if (sameCard(r.from, r.to)) {
        error = "--from and --to name the same card: a save cannot be copied onto its own card";
        return std::nullopt;
    }
    error.clear();
    return r;
}

int copyBetweenCards(const CopyRequest& request, const CopySides& sides)
{
    // Everything is read before anything is written: a card that fails while
    // it is read leaves the other exactly as it was.
    std::vector<std::vector<uint8_t>> saves(request.slots.size());
    std::vector<std::string> labels(request.slots.size());
    for (std::size_t i = 0; i < request.slots.size(); ++i) {
        std::string error;
        if (!sides.read(request.slots[i], saves[i], labels[i], error))
            return failWith("nothing was copied: slot " + request.slots[i] + " of " + request.from +
                            " could not be read: " + error + "; " + request.to +
                            " was not changed");
    }
    int status = 0;
    for (std::size_t i = 0; i < request.slots.size(); ++i) {
        std::string error;
        if (sides.write(saves[i], error))
            std::printf("Copied slot %s (%s) from %s to %s\n", request.slots[i].c_str(),
                        labels[i].c_str(), request.from.c_str(), request.to.c_str());
        else
            status = failWith("slot " + request.slots[i] + " (" + labels[i] +
                              ") was not copied to " + request.to + ": " + error);
    }
    return status;
}

} // namespace cardtool
