#include "Graphics/TextureDecoder.h"

#include "Graphics/PictureHeader.h"

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

// The size the header claims, read without the pixels: through FreeImage where the format can
// load its header alone, from the file's first bytes otherwise. False when it cannot be read.
bool ReadSize(FREE_IMAGE_FORMAT format, const char* path, unsigned& width, unsigned& height)
{
    if (!FreeImage_FIFSupportsNoPixels(format)) return PictureHeader::ClaimedSize(format, path, width, height);
    FIBITMAP* header = FreeImage_Load(format, path, FIF_LOAD_NOPIXELS);
    if (!header) return false;
    width = FreeImage_GetWidth(header);
    height = FreeImage_GetHeight(header);
    FreeImage_Unload(header);
    return true;
}

// Floating-point grey, RGB or RGBA, where 1 is full, as 8 bits a channel: clamped, as GL would
// draw them. FreeImage converts such pictures only by tone mapping, which changes every colour
// and drops the alpha.
FIBITMAP* FloatTo32Bits(FIBITMAP* image)
{
    const FREE_IMAGE_TYPE type = FreeImage_GetImageType(image);
    const unsigned channels = type == FIT_FLOAT ? 1 : type == FIT_RGBF ? 3 : 4;
    const unsigned width = FreeImage_GetWidth(image), height = FreeImage_GetHeight(image);
    FIBITMAP* result = FreeImage_Allocate(static_cast<int>(width), static_cast<int>(height), 32);
    const auto byte = [](float value) {
        // Written so that NaN gives 0.
        return static_cast<BYTE>(value > 0.0f ? (value < 1.0f ? value * 255.0f + 0.5f : 255.0f) : 0.0f);
    };
    for (unsigned y = 0; result && y < height; ++y) {
        const float* from = reinterpret_cast<const float*>(FreeImage_GetScanLine(image, static_cast<int>(y)));
        BYTE* to = FreeImage_GetScanLine(result, static_cast<int>(y));
        for (unsigned x = 0; x < width; ++x, from += channels, to += 4) {
            to[FI_RGBA_RED] = byte(from[0]);
            to[FI_RGBA_GREEN] = byte(from[channels == 1 ? 0 : 1]);
            to[FI_RGBA_BLUE] = byte(from[channels == 1 ? 0 : 2]);
            to[FI_RGBA_ALPHA] = channels == 4 ? byte(from[3]) : 255;
        }
    }
    return result;
}

// 8 bits a channel, through the conversion FreeImage has for each of its other image types (its
// 32-bit conversion takes only 16-bit colour, and its standard-type one no colour at all). 16-bit
// samples keep their top 8 bits, alpha included; other integer types are scaled from their least
// to their greatest value.
FIBITMAP* ToStandardType(FIBITMAP* image)
{
    switch (FreeImage_GetImageType(image)) {
    case FIT_RGB16:
    case FIT_RGBA16: return FreeImage_ConvertTo32Bits(image);
    case FIT_UINT16: return FreeImage_ConvertTo8Bits(image);
    case FIT_FLOAT:
    case FIT_RGBF:
    case FIT_RGBAF: return FloatTo32Bits(image);
    default: return FreeImage_ConvertToStandardType(image, TRUE);
    }
}

// 32 bits a pixel, whatever was read: anything else would be read past its end as BGRA. Takes the
// image; null when it cannot be converted.
FIBITMAP* To32Bits(FIBITMAP* image)
{
    if (FreeImage_GetImageType(image) != FIT_BITMAP) {
        FIBITMAP* standard = ToStandardType(image);
        FreeImage_Unload(image);
        image = standard;
    }
    if (image && FreeImage_GetBPP(image) != 32) {
        FIBITMAP* converted = FreeImage_ConvertTo32Bits(image);
        FreeImage_Unload(image);
        image = converted;
    }
    return image;
}

void RefuseSize(DecodedPicture& picture, unsigned width, unsigned height)
{
    picture.failure = DecodedPicture::Failure::TooLarge;
    picture.refused_width = width;
    picture.refused_height = height;
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
    using Failure = DecodedPicture::Failure;
    const char* path = picture.path.c_str();
    FREE_IMAGE_FORMAT format = FreeImage_GetFileType(path, 0);
    if (format == FIF_UNKNOWN) {
        picture.type_from_name = true;
        format = FreeImage_GetFIFFromFilename(path);
    }
    if (format == FIF_UNKNOWN) {
        picture.failure = Failure::UnknownType;
        return;
    }
    // FreeImage allocates whatever size a header claims: a few bytes claiming gigapixels would cost
    // gigabytes. The size is checked before any pixel is read.
    unsigned width = 0, height = 0;
    if (!FreeImage_FIFSupportsReading(format) || !ReadSize(format, path, width, height)) {
        picture.failure = Failure::Unreadable;
        return;
    }
    if (!WithinLimits(width, height)) return RefuseSize(picture, width, height);
    FIBITMAP* image = FreeImage_Load(format, path, 0);
    if (!image) {
        picture.failure = Failure::Unreadable;
        return;
    }
    // A header may say less than the reader then made of the file.
    if (!WithinLimits(FreeImage_GetWidth(image), FreeImage_GetHeight(image))) {
        RefuseSize(picture, FreeImage_GetWidth(image), FreeImage_GetHeight(image));
        FreeImage_Unload(image);
        return;
    }
    image = To32Bits(image);
    if (!image || !FreeImage_GetBits(image) || FreeImage_GetWidth(image) == 0 || FreeImage_GetHeight(image) == 0) {
        if (image) FreeImage_Unload(image);
        picture.failure = Failure::NoPixels;
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
