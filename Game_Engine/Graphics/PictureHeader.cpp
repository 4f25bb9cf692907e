#include "Graphics/PictureHeader.h"

#include <FreeImage.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>

namespace OrvEngine {
namespace PictureHeader {

namespace {
// Reads a file's bytes in order; once a read runs past the end every later one gives 0 and Ok()
// stays false.
class Reader {
public:
    explicit Reader(const std::string& path) : file_(path, std::ios::binary) {}

    bool Ok() const { return static_cast<bool>(file_); }
    uint64_t Tell() { return Ok() ? static_cast<uint64_t>(file_.tellg()) : 0; }
    void Seek(uint64_t at) { file_.seekg(static_cast<std::streamoff>(at)); }
    void Skip(uint64_t count) { Seek(Tell() + count); }
    uint64_t Size()
    {
        const uint64_t at = Tell();
        file_.seekg(0, std::ios::end);
        const uint64_t size = Tell();
        Seek(at);
        return size;
    }

    uint8_t U8()
    {
        char byte = 0;
        file_.read(&byte, 1);
        return Ok() ? static_cast<uint8_t>(byte) : 0;
    }
    uint32_t BigEndian(int bytes)
    {
        uint32_t value = 0;
        for (int i = 0; i < bytes; ++i) value = (value << 8) | U8();
        return value;
    }
    uint32_t LittleEndian(int bytes)
    {
        uint32_t value = 0;
        for (int i = 0; i < bytes; ++i) value |= static_cast<uint32_t>(U8()) << (8 * i);
        return value;
    }
    uint16_t U16BE() { return static_cast<uint16_t>(BigEndian(2)); }
    uint32_t U32BE() { return BigEndian(4); }
    uint16_t U16LE() { return static_cast<uint16_t>(LittleEndian(2)); }
    uint32_t U32LE() { return LittleEndian(4); }
    std::string Tag()
    {
        std::string tag(4, '\0');
        for (char& c : tag) c = static_cast<char>(U8());
        return tag;
    }

private:
    std::ifstream file_;
};

struct Size {
    uint64_t width = 0;
    uint64_t height = 0;
};

// The size read, when every read before it stayed within the file.
bool Found(Reader& in, uint64_t width, uint64_t height, Size& size)
{
    size = {width, height};
    return in.Ok();
}

bool Iff(Reader& in, Size& size)
{
    if (in.Tag() != "FORM") return false;
    in.Skip(8); // form size and type
    while (in.Ok()) {
        const std::string id = in.Tag();
        const uint32_t length = in.U32BE();
        if (id == "BMHD") {
            const uint16_t width = in.U16BE();
            return Found(in, width, in.U16BE(), size);
        }
        if (id == "BODY") return false;
        in.Skip(length + (length & 1u));
    }
    return false;
}

// The first embedded PNG or JNG is the picture read; the MNG's own frame size is not allocated.
bool Mng(Reader& in, Size& size)
{
    in.Skip(8);
    while (in.Ok()) {
        const uint32_t length = in.U32BE();
        const std::string type = in.Tag();
        if (type == "IHDR" || type == "JHDR") {
            const uint32_t width = in.U32BE();
            return Found(in, width, in.U32BE(), size);
        }
        if (type == "MEND") return false;
        in.Skip(static_cast<uint64_t>(length) + 4); // data and CRC
    }
    return false;
}

// Seven bits a byte, the high bit saying another byte follows.
uint64_t MultiByte(Reader& in)
{
    uint64_t value = 0;
    for (int i = 0; i < 8 && in.Ok(); ++i) {
        const uint8_t byte = in.U8();
        value = (value << 7) | (byte & 0x7fu);
        if (!(byte & 0x80u)) return value;
    }
    return std::numeric_limits<uint64_t>::max();
}

bool Wbmp(Reader& in, Size& size)
{
    MultiByte(in); // type
    // Extension headers are too rare to be worth reading past: such a file is not checked.
    if (in.U8() & 0x80u) return false;
    const uint64_t width = MultiByte(in);
    return Found(in, width, MultiByte(in), size);
}

// The "#define <name>_width <n>" and "_height" lines before the data; the largest of each counts.
bool Xbm(const std::string& path, Size& size)
{
    std::ifstream file(path);
    std::string line;
    for (int lines = 0; lines < 1000 && std::getline(file, line) && line.find('{') == std::string::npos; ++lines) {
        char name[256] = {};
        char number[32] = {};
        if (std::sscanf(line.c_str(), " #define %255s %31s", name, number) != 2) continue;
        const std::string key = name;
        const size_t underscore = key.rfind('_');
        const std::string kind = underscore == std::string::npos ? key : key.substr(underscore + 1);
        const uint64_t value = std::strtoull(number, nullptr, 0);
        if (kind == "width") size.width = std::max(size.width, value);
        if (kind == "height") size.height = std::max(size.height, value);
    }
    return size.width > 0 && size.height > 0;
}

bool Dds(Reader& in, Size& size)
{
    if (in.Tag() != "DDS ") return false;
    in.Skip(8); // header size and flags
    const uint32_t height = in.U32LE();
    return Found(in, in.U32LE(), height, size);
}

void SkipSubBlocks(Reader& in)
{
    for (uint8_t length = in.U8(); in.Ok() && length != 0; length = in.U8()) in.Skip(length);
}

// The first frame is the picture read, at its own size.
bool Gif(Reader& in, Size& size)
{
    in.Skip(10); // signature and logical screen size
    const uint8_t flags = in.U8();
    in.Skip(2);
    if (flags & 0x80u) in.Skip(3u << ((flags & 7u) + 1));
    while (in.Ok()) {
        const uint8_t block = in.U8();
        if (block == 0x21) {
            in.U8(); // label
            SkipSubBlocks(in);
        } else if (block == 0x2c) {
            in.Skip(4); // left, top
            const uint16_t width = in.U16LE();
            return Found(in, width, in.U16LE(), size);
        } else {
            return false;
        }
    }
    return false;
}

bool Sgi(Reader& in, Size& size)
{
    if (in.U16BE() != 474) return false;
    in.Skip(4); // storage, bytes per channel, dimension
    const uint16_t width = in.U16BE();
    return Found(in, width, in.U16BE(), size);
}

// A JPEG 2000 codestream's SIZ marker: the image area less its offset.
bool Codestream(Reader& in, Size& size)
{
    if (in.U16BE() != 0xff4f || in.U16BE() != 0xff51) return false;
    in.Skip(4); // length, capabilities
    const uint32_t right = in.U32BE();
    const uint32_t bottom = in.U32BE();
    const uint32_t left = in.U32BE();
    const uint32_t top = in.U32BE();
    if (left > right || top > bottom) return false;
    return Found(in, right - left, bottom - top, size);
}

// The image header box and the codestream both state the size; the larger of each counts.
bool Jp2(Reader& in, Size& size)
{
    const uint64_t end = in.Size();
    Size header;
    for (uint64_t at = 0; in.Ok() && at < end;) {
        in.Seek(at);
        uint64_t length = in.U32BE();
        const std::string type = in.Tag();
        uint64_t body = at + 8;
        if (length == 1) {
            length = (static_cast<uint64_t>(in.U32BE()) << 32) | in.U32BE();
            body = at + 16;
        } else if (length == 0) {
            length = end - at;
        }
        if (!in.Ok() || length < body - at) return false;
        if (type == "jp2h") {
            for (uint64_t inner = body; in.Ok() && inner + 8 <= at + length;) {
                in.Seek(inner);
                const uint32_t inner_length = in.U32BE();
                if (in.Tag() == "ihdr") {
                    header.height = in.U32BE();
                    header.width = in.U32BE();
                }
                if (inner_length < 8) break;
                inner += inner_length;
            }
        } else if (type == "jp2c") {
            in.Seek(body);
            if (!Codestream(in, size)) return false;
            size.width = std::max(size.width, header.width);
            size.height = std::max(size.height, header.height);
            return true;
        }
        at += length;
    }
    return false;
}

// How many bytes of data follow a picture opcode (version 2, word opcodes); false for opcodes whose
// data is not skipped here (pattern pictures, QuickTime images).
bool PictDataLength(uint16_t op, Reader& in, uint64_t& length)
{
    static const uint8_t kFixed[0x24] = {0, 0, 8, 2, 1, 2, 4, 4, 2, 8, 8, 4, 4, 2, 4, 4, 8, 2,
                                         0, 0, 0, 2, 2, 0, 0, 0, 6, 6, 0, 6, 0, 6, 8, 4, 6, 2};
    const auto sized = [&in](int bytes, uint64_t less) {
        const uint64_t value = bytes == 2 ? in.U16BE() : in.U32BE();
        return value >= less ? value - less : 0;
    };
    if (op >= 0x12 && op <= 0x14) return false;
    if (op == 0x01 || (op >= 0x70 && op <= 0x77) || (op >= 0x80 && op <= 0x87)) {
        length = sized(2, 2); // regions and polygons count their own size word
    } else if (op < 0x24) {
        length = kFixed[op];
    } else if (op <= 0x27 || (op >= 0x2c && op <= 0x2f) || (op >= 0x92 && op <= 0x97) ||
               (op >= 0x9c && op <= 0x9f) || (op >= 0xa2 && op <= 0xaf)) {
        length = sized(2, 0);
    } else if (op >= 0x28 && op <= 0x2b) {
        in.Skip(op == 0x28 ? 4 : op == 0x2b ? 2 : 1);
        length = in.U8();
    } else if (op <= 0x8f) {
        // Rectangles, rounded ones and ovals, then arcs, each followed by its "same" form.
        static const uint8_t kShapes[12] = {8, 0, 8, 0, 8, 0, 12, 4, 0, 0, 0, 0};
        length = kShapes[(op - 0x30) / 8];
    } else if (op == 0xa0) {
        length = 2;
    } else if (op == 0xa1) {
        in.Skip(2);
        length = in.U16BE();
    } else if (op <= 0xcf) {
        length = 0;
    } else if (op <= 0xfe) {
        length = sized(4, 0);
    } else if (op <= 0x7fff) {
        length = 2u * (op >> 8);
    } else if (op <= 0x80ff) {
        length = 0;
    } else {
        if (op == 0x8200 || op == 0x8201) return false;
        length = sized(4, 0);
    }
    return in.Ok();
}

// The first bitmap or pixmap opcode is the picture read, at the size of its bounds.
bool Pict(Reader& in, Size& size)
{
    in.Seek(512 + 10); // the file header, the picture size and its frame
    if (in.U16BE() != 0x0011 || in.U16BE() != 0x02ff) return false;
    while (in.Ok()) {
        const uint16_t op = in.U16BE();
        if (op == 0x90 || op == 0x91 || (op >= 0x98 && op <= 0x9b)) {
            if (op >= 0x9a) in.Skip(4); // base address
            in.Skip(2);                 // row bytes
            const int16_t top = static_cast<int16_t>(in.U16BE());
            const int16_t left = static_cast<int16_t>(in.U16BE());
            const int16_t bottom = static_cast<int16_t>(in.U16BE());
            const int16_t right = static_cast<int16_t>(in.U16BE());
            if (right < left || bottom < top) return false;
            return Found(in, static_cast<uint64_t>(right - left), static_cast<uint64_t>(bottom - top), size);
        }
        uint64_t length = 0;
        if (op == 0xff || !PictDataLength(op, in, length)) return false;
        in.Skip(length);
        if (in.Tell() & 1u) in.Skip(1); // opcodes start on even offsets
    }
    return false;
}

unsigned Clamped(uint64_t value)
{
    return static_cast<unsigned>(std::min<uint64_t>(value, std::numeric_limits<unsigned>::max()));
}
} // namespace

bool ClaimedSize(int format, const std::string& path, unsigned& width, unsigned& height)
{
    Reader in(path);
    if (!in.Ok()) return false;
    Size size;
    bool found = false;
    switch (static_cast<FREE_IMAGE_FORMAT>(format)) {
    case FIF_KOALA: found = Found(in, 320, 200, size); break; // the format has one size
    case FIF_IFF: found = Iff(in, size); break;
    case FIF_MNG: found = Mng(in, size); break;
    case FIF_WBMP: found = Wbmp(in, size); break;
    case FIF_XBM: found = Xbm(path, size); break;
    case FIF_DDS: found = Dds(in, size); break;
    case FIF_GIF: found = Gif(in, size); break;
    case FIF_SGI: found = Sgi(in, size); break;
    case FIF_J2K: found = Codestream(in, size); break;
    case FIF_JP2: found = Jp2(in, size); break;
    case FIF_PICT: found = Pict(in, size); break;
    default: break;
    }
    if (!found) return false;
    width = Clamped(size.width);
    height = Clamped(size.height);
    return true;
}

} // namespace PictureHeader
} // namespace OrvEngine
