#include "restore_words.h"

#include "cli_input.h"
#include "mcbridge.h"
#include "mcbridge/cardfs.h"
#include "mcbridge/inspect.h"
#include "mcbridge/serial_saves.h"

namespace restore {

std::optional<Request> parseRequest(const std::vector<std::string>& args, std::string& error)
{
    Request r;
    bool chosen = false;
    bool named = false;
    for (const std::string& a : args) {
        if (a == "--force" || a == "--keep-identity") {
            if (chosen) {
                error = "restore takes --force or --keep-identity, not both";
                return std::nullopt;
            }
            chosen = true;
            r.how = a == "--force" ? MCB_RESTORE_FORCE : MCB_RESTORE_KEEP_IDENTITY;
        } else if (!named) {
            named = true;
            r.image = a;
        } else {
            error = "restore takes one image file";
            return std::nullopt;
        }
    }
    if (!named) {
        error = "restore needs an image file";
        return std::nullopt;
    }
    return r;
}

std::string refusal(const std::string& path)
{
    return path +
           " was read from another card: the first 32 bytes of its header, which identify the "
           "card it was made from, are not this card's. Written as it is, it would give this "
           "card the other card's identity, and saves that games such as F-Zero GX and "
           "Phantasy Star Online bind to a card would stop working on it. Nothing was written.\n"
           "  --keep-identity  restore everything but this card's identity bytes; such saves "
           "are re-signed for this card\n"
           "  --force          write the image as it is, identity and all";
}

std::vector<std::string> serialBoundSaves(const std::vector<uint8_t>& image)
{
    std::vector<std::string> names;
    mcb::Block dir, map;
    if (!mcb::currentStructures(image, dir, map))
        return names;
    for (unsigned slot = 0; slot < mcb::kSaveSlotCount; ++slot) {
        const mcb::EntryRef e = mcb::entryAt(dir, slot);
        if (!e.empty() && mcb::serialBoundGame(e) != mcb::SerialBoundGame::None)
            names.push_back(cli::escapeControls(e.name() + " (" + e.code() + ")"));
    }
    return names;
}

std::string doneLine(const std::string& path, int32_t how, const std::vector<uint8_t>& image)
{
    if (how == MCB_RESTORE_FORCE)
        return "Restored " + path +
               " to the card as it is: the card now has the identity of the "
               "card the image was read from";
    if (how != MCB_RESTORE_KEEP_IDENTITY)
        return "Restored " + path + " to the card";
    std::string line = "Restored " + path + " to the card, keeping the card's own identity";
    const std::vector<std::string> bound = serialBoundSaves(image);
    if (!bound.empty()) {
        line += "; signed for this card:";
        for (std::size_t i = 0; i < bound.size(); ++i)
            line += (i ? ", " : " ") + bound[i];
    }
    return line;
}

} // namespace restore
