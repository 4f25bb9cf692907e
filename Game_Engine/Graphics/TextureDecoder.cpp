#include "Graphics/TextureDecoder.h"

#include <FreeImage.h>

#include <algorithm>
#include <thread>

namespace OrvEngine {

namespace {
// Enough to read a scene's pictures side by side without crowding the rasteriser's threads.
size_t WorkerCount()
{
    const unsigned cores = std::thread::hardware_concurrency();
    return std::clamp<size_t>(cores > 1 ? cores - 1 : 1, 1, 4);
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
    const char* path = picture.path.c_str();
    FREE_IMAGE_FORMAT format = FreeImage_GetFileType(path, 0);
    if (format == FIF_UNKNOWN) {
        picture.type_from_name = true;
        format = FreeImage_GetFIFFromFilename(path);
        if (format == FIF_UNKNOWN) return;
    }
    FIBITMAP* image = FreeImage_FIFSupportsReading(format) ? FreeImage_Load(format, path, 0) : nullptr;
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

TextureDecoder::TextureDecoder() : queue_(WorkerCount()) {}

std::shared_ptr<TextureDecoder::Job> TextureDecoder::Queue(const std::string& path)
{
    auto job = std::make_shared<Job>();
    job->picture.path = path;
    queue_.Queue(job);
    return job;
}

} // namespace OrvEngine
