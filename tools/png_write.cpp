#include "png_write.h"

#include <zlib.h>

#include <stdexcept>
#include <string>

namespace png {

namespace {

void put32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(uint8_t(v >> shift));
}

void put16(std::vector<uint8_t>& out, uint16_t v)
{
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v));
}

void chunk(std::vector<uint8_t>& out, const char (&type)[5], const std::vector<uint8_t>& data)
{
    put32(out, uint32_t(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    const uLong crc = crc32(0, out.data() + start, uInt(out.size() - start));
    put32(out, uint32_t(crc));
}

std::vector<uint8_t> header(unsigned width, unsigned height)
{
    std::vector<uint8_t> d;
    put32(d, width);
    put32(d, height);
    // 8 bits a sample, truecolour with alpha, deflate, adaptive filters, no interlace.
    d.insert(d.end(), {8, 6, 0, 0, 0});
    return d;
}

// The picture's rows, each after a filter byte of 0 (none), deflated.
std::vector<uint8_t> imageData(unsigned width, unsigned height, const uint8_t* rgba)
{
    const std::size_t row = std::size_t(width) * 4;
    std::vector<uint8_t> raw;
    raw.reserve((row + 1) * height);
    for (unsigned y = 0; y < height; ++y) {
        raw.push_back(0);
        raw.insert(raw.end(), rgba + y * row, rgba + (y + 1) * row);
    }
    uLongf length = compressBound(uLong(raw.size()));
    std::vector<uint8_t> packed(length);
    if (compress2(packed.data(), &length, raw.data(), uLong(raw.size()), Z_BEST_COMPRESSION) !=
        Z_OK)
        throw std::runtime_error("deflate failed");
    packed.resize(length);
    return packed;
}

void signature(std::vector<uint8_t>& out)
{
    out.insert(out.end(), {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'});
}

} // namespace

std::vector<uint8_t> encode(unsigned width, unsigned height, const uint8_t* rgba)
{
    std::vector<uint8_t> out;
    signature(out);
    chunk(out, "IHDR", header(width, height));
    chunk(out, "IDAT", imageData(width, height, rgba));
    chunk(out, "IEND", {});
    return out;
}

std::vector<uint8_t> encodeAnimated(unsigned width, unsigned height,
                                    const std::vector<Frame>& frames)
{
    std::vector<uint8_t> out;
    signature(out);
    chunk(out, "IHDR", header(width, height));
    std::vector<uint8_t> control;
    put32(control, uint32_t(frames.size()));
    put32(control, 0); // plays for ever
    chunk(out, "acTL", control);
    uint32_t sequence = 0;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        std::vector<uint8_t> fc;
        put32(fc, sequence++);
        put32(fc, width);
        put32(fc, height);
        put32(fc, 0); // x offset
        put32(fc, 0); // y offset
        put16(fc, frames[i].delayTicks);
        put16(fc, 60);
        fc.push_back(0); // leave the frame as it is when the next comes
        fc.push_back(0); // the next frame replaces it, alpha and all
        chunk(out, "fcTL", fc);
        const std::vector<uint8_t> data = imageData(width, height, frames[i].rgba);
        if (i == 0) {
            chunk(out, "IDAT", data);
        } else {
            std::vector<uint8_t> fd;
            put32(fd, sequence++);
            fd.insert(fd.end(), data.begin(), data.end());
            chunk(out, "fdAT", fd);
        }
    }
    chunk(out, "IEND", {});
    return out;
}

} // namespace png
