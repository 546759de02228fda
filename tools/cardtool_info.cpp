#include "cardtool_info.h"

#include "cli_input.h"
#include "png_write.h"

#include "mcbridge.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

namespace cardtool {

namespace {

int fail(const std::string& what)
{
    std::fprintf(stderr, "cardtool: %s\n", what.c_str());
    return 1;
}

int usage(const std::string& what)
{
    std::fprintf(stderr, "cardtool: %s\nTry 'cardtool --help'.\n", what.c_str());
    return 2;
}

// The structure is about 33 KiB: on the heap, not the stack.
using Info = std::unique_ptr<mcb_save_info>;

// Describes target; the exit status when it cannot be described.
int describe(const InfoContext& c, const std::string& target, Info& info)
{
    info = std::make_unique<mcb_save_info>();
    if (cli::kindOf(target) != cli::Kind::Missing) {
        std::string error;
        const auto bytes = cli::readBounded(target, cli::kLargestSaveInput, error);
        if (!bytes)
            return fail(error);
        if (mcb_describe_save(bytes->data(), bytes->size(), info.get()) != MCB_OK) {
            mcb_save_view view{};
            view.size = sizeof view;
            mcb_parse_save(bytes->data(), bytes->size(), &view);
            return fail(target + " is not taken as a save file: " +
                        mcb_save_fault_text(view.fault ? view.fault : MCB_SAVE_READ_FAILED));
        }
        return 0;
    }
    const auto slot = cli::parseSlot(target);
    if (!slot)
        return usage("'" + target + "' is neither a file nor a slot number (0 to 126)");
    std::string error;
    if (!c.open(error))
        return fail(error);
    if (const int rc = mcb_describe_slot(c.card(), *slot, info.get()); rc != MCB_OK) {
        if (rc == MCB_E_NO_SAVE)
            return fail("slot " + target + " holds no save");
        return fail("the save in slot " + target + " cannot be read: " + mcb_strerror(rc));
    }
    return 0;
}

std::string permissionWords(uint32_t bits)
{
    std::string words;
    auto add = [&](const char* word) { words += (words.empty() ? "" : ", ") + std::string(word); };
    if (bits & MCB_PERMISSION_PUBLIC)
        add("public");
    if (bits & MCB_PERMISSION_NO_COPY)
        add("no copy");
    if (bits & MCB_PERMISSION_NO_MOVE)
        add("no move");
    const uint32_t known = MCB_PERMISSION_PUBLIC | MCB_PERMISSION_NO_COPY | MCB_PERMISSION_NO_MOVE;
    if (bits & ~known) {
        char other[40];
        std::snprintf(other, sizeof other, "other bits 0x%02X", unsigned(bits & ~known));
        add(other);
    }
    return words.empty() ? "none" : words;
}

const char* frameFormatWords(uint32_t format)
{
    switch (format) {
    case 1: return "8-bit indices, palette shared by the frames";
    case 2: return "16-bit colours";
    case 3: return "8-bit indices, its own palette";
    default: return "no picture of its own (shows the next frame's)";
    }
}

const char* containerWords(uint32_t format)
{
    switch (format) {
    case MCB_SAVE_GCI: return "save file (.gci)";
    case MCB_SAVE_GCS: return ".gcs container";
    case MCB_SAVE_SAV: return ".sav container";
    default: return "card save";
    }
}

// The frames in the order they are shown, once round: back and forth shows
// every frame but the two ends twice.
std::vector<unsigned> showingOrder(const mcb_save_info& info)
{
    std::vector<unsigned> order;
    for (unsigned i = 0; i < info.frame_count; ++i)
        order.push_back(i);
    if (info.animation == MCB_ANIMATION_BOUNCE)
        for (unsigned i = info.frame_count; i > 2; --i)
            order.push_back(i - 2);
    return order;
}

} // namespace

int info(const InfoContext& c, const std::string& target)
{
    Info info;
    if (const int status = describe(c, target, info))
        return status;
    const mcb_save_info& s = *info;
    const auto line = [](const char* label, const std::string& value) {
        std::printf("%-13s %s\n", label, value.c_str());
    };
    line("Code:", cli::escapeControls(s.code));
    line("Name:", c.showName(s.name, s.code));
    line("Title:", s.has_comment ? cli::escapeControls(s.title) : "(no comment)");
    line("Comment:", s.has_comment ? cli::escapeControls(s.comment) : "(no comment)");
    char when[64];
    std::snprintf(when, sizeof when, "%04d-%02d-%02d %02d:%02d:%02d (console time)", s.year,
                  s.month, s.day, s.hour, s.minute, s.second);
    line("Modified:", when);
    line("Permissions:", permissionWords(s.permissions));
    line("Copy counter:", std::to_string(s.copy_counter));
    line("Blocks:", std::to_string(s.blocks));
    line("Encoding:", s.encoding == 1 ? "Shift-JIS" : "Windows-1252");
    line("Stored as:", containerWords(s.format));
    if (s.frame_count == 0) {
        line("Icon:", "none");
        return 0;
    }
    std::string icon = std::to_string(s.frame_count) + (s.frame_count == 1 ? " frame" : " frames") +
                       (s.animation == MCB_ANIMATION_BOUNCE ? ", back and forth" : ", looping");
    if (!s.icon_complete)
        icon += "; some picture data lies beyond the save and shows as transparent";
    line("Icon:", icon);
    for (unsigned i = 0; i < s.frame_count; ++i) {
        char label[24];
        std::snprintf(label, sizeof label, "  Frame %u:", i);
        char delay[48];
        std::snprintf(delay, sizeof delay, "%u/60 s; ", unsigned(s.frames[i].delay));
        std::printf("%-13s %s%s\n", label, delay, frameFormatWords(s.frames[i].format));
    }
    return 0;
}

int icons(const InfoContext& c, const std::string& target, const std::string& dir)
{
    Info info;
    if (const int status = describe(c, target, info))
        return status;
    const mcb_save_info& s = *info;
    if (s.frame_count == 0)
        return fail("the save has no icon: nothing was written");
    const cli::Kind kind = cli::kindOf(dir);
    if (kind != cli::Kind::Missing && kind != cli::Kind::Directory)
        return fail(dir + " " + cli::describe(kind) + ": the icons go into a folder");
    std::error_code e;
    std::filesystem::create_directories(dir, e);
    if (e)
        return fail("cannot make the folder " + dir + ": " + e.message());

    auto write = [&](const std::string& name, const std::vector<uint8_t>& bytes) {
        const std::string path = dir + "/" + name;
        if (const std::string no = c.outputProblem(path); !no.empty())
            return fail(no);
        if (const std::string no = c.write(path, bytes); !no.empty())
            return fail(no);
        std::printf("Wrote %s\n", path.c_str());
        return 0;
    };
    int status = 0;
    for (unsigned i = 0; i < s.frame_count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "frame-%02u.png", i);
        status |= write(name, png::encode(MCB_ICON_SIZE, MCB_ICON_SIZE, s.frames[i].rgba));
    }
    std::vector<png::Frame> shown;
    for (unsigned i : showingOrder(s))
        shown.push_back({s.frames[i].rgba, uint16_t(s.frames[i].delay)});
    status |= write("animated.png", png::encodeAnimated(MCB_ICON_SIZE, MCB_ICON_SIZE, shown));
    return status;
}

} // namespace cardtool
