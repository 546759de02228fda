#include "cardtool_copy.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace cardtool {

namespace {

int failWith(const std::string& what)
{
    std::fprintf(stderr, "cardtool: %s\n", what.c_str());
    return 1;
}

// The saves on their way between the cards live here, in a folder only this
// run can enter, never next to the user's files; it goes when the copy ends,
// however it ends.
class Transit {
public:
    Transit()
    {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/cardtool-copy-XXXXXX";
        if (mkdtemp(pattern.data()))
            path_ = pattern;
    }
    ~Transit()
    {
        std::error_code e;
        if (!path_.empty())
            std::filesystem::remove_all(path_, e);
    }
    Transit(const Transit&) = delete;
    Transit& operator=(const Transit&) = delete;
    bool ok() const { return !path_.empty(); }
    std::string file(std::size_t n) const { return path_ + "/" + std::to_string(n) + ".gci"; }

private:
    std::string path_;
};

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
    Transit transit;
    if (!transit.ok())
        return failWith("cannot make a temporary folder for the saves on their way");
    // Everything is read before anything is written: a card that fails while
    // it is read leaves the other exactly as it was.
    std::vector<std::string> labels(request.slots.size());
    for (std::size_t i = 0; i < request.slots.size(); ++i) {
        std::string error;
        if (!sides.read(request.slots[i], transit.file(i), labels[i], error))
            return failWith("nothing was copied: slot " + request.slots[i] + " of " + request.from +
                            " could not be read: " + error + "; " + request.to +
                            " was not changed");
    }
    int status = 0;
    for (std::size_t i = 0; i < request.slots.size(); ++i) {
        std::string error;
        if (sides.write(transit.file(i), error)) {
            std::printf("Copied slot %s (%s) from %s to %s\n", request.slots[i].c_str(),
                        labels[i].c_str(), request.from.c_str(), request.to.c_str());
        } else {
            // The file's name is this run's own; the user knows the save by
            // its slot and name.
            const std::string file = transit.file(i);
            for (std::size_t at = error.find(file); at != std::string::npos; at = error.find(file))
                error.replace(at, file.size(), "the save");
            status = failWith("slot " + request.slots[i] + " (" + labels[i] +
                              ") was not copied to " + request.to + ": " + error);
        }
    }
    return status;
}

} // namespace cardtool
