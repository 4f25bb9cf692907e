#include "Graphics/TextureDecoder.h"

#include <FreeImage.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <thread>

namespace OrvEngine {

namespace {
// Enough to read a scene's pictures side by side without crowding the rasteriser's threads.
size_t WorkerCount()
{
    const unsigned cores = std::thread::hardware_concurrency();
    return std::clamp<size_t>(cores > 1 ? cores - 1 : 1, 1, 4);
}

bool HasPngSignature(const std::string& path)
{
    static const char kSignature[8] = {'\x89', 'P', 'N', 'G', '\r', '\n', '\x1a', '\n'};
    char start[8] = {};
    std::ifstream file(path, std::ios::binary);
    return file.read(start, sizeof(start)) && std::memcmp(start, kSignature, sizeof(start)) == 0;
}

// The header alone (no pixels are allocated); false when it cannot be read.
bool ReadSize(const char* path, unsigned& width, unsigned& height)
{
    FIBITMAP* header = FreeImage_Load(FIF_PNG, path, FIF_LOAD_NOPIXELS);
    if (!header) return false;
    width = FreeImage_GetWidth(header);
    height = FreeImage_GetHeight(header);
    FreeImage_Unload(header);
    return true;
}
} // namespace

void DecodedPicture::Release()
{
    if (image) FreeImage_Unload(image);
    image = nullptr;
}

const unsigned char* DecodedPicture::Pixels() const { return image ? FreeImage_GetBits(image) : nullptr; }

void TextureDecoder::Decode(DecodedPicture& picture)
{
    // FreeImage would take any type the contents claim and allocate whatever size the header
    // claims: a few bytes of another format behind a .png name cost gigabytes. Only a PNG is read,
    // and only once its header's size is known to be sane.
    const char* path = picture.path.c_str();
    if (!HasPngSignature(picture.path)) {
        picture.type_from_name = true;
        return;
    }
    unsigned width = 0, height = 0;
    if (!ReadSize(path, width, height)) return;
    if (!WithinLimits(width, height)) {
        picture.refused_width = width;
        picture.refused_height = height;
        return;
    }
    FIBITMAP* image = FreeImage_Load(FIF_PNG, path, 0);
    if (!image) return;
    // Anything but 32 bits per pixel would be read past its end as BGRA.
    if (FreeImage_GetBPP(image) != 32) {
        FIBITMAP* converted = FreeImage_ConvertTo32Bits(image);
        FreeImage_Unload(image);
        image = converted;
    }
    if (!image || !FreeImage_GetBits(image) || FreeImage_GetWidth(image) == 0 || FreeImage_GetHeight(image) == 0) {
        if (image) FreeImage_Unload(image);
        return;
    }
    picture.image = image;
    picture.width = static_cast<int>(FreeImage_GetWidth(image));
    picture.height = static_cast<int>(FreeImage_GetHeight(image));
    picture.alpha = TextureAlpha::Of(FreeImage_GetBits(image), picture.width, picture.height,
                                     static_cast<int>(FreeImage_GetPitch(image)), FI_RGBA_ALPHA);
}

bool TextureDecoder::WithinLimits(unsigned width, unsigned height)
{
    return width <= kMaxSide && height <= kMaxSide && static_cast<uint64_t>(width) * height <= kMaxPixels;
}

TextureDecoder::TextureDecoder() : queue_(WorkerCount()) {}

std::shared_ptr<TextureDecoder::Job> TextureDecoder::Queue(const std::string& path)
{
    auto job = std::make_shared<Job>();
    job->picture.path = path;
    queue_.Queue(job);
    return job;
}

} // namespace OrvEngine
