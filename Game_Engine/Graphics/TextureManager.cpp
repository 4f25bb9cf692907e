#include "Graphics/TextureManager.h"

#include "Graphics/Graphics.h"
#include "Logging/Logging.h"

#include <FreeImage.h>
#include <GL/glew.h>

#include <utility>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace OrvEngine {

namespace {
// FreeImage keeps pixels in the platform's byte order (BGRA on little-endian machines).
constexpr GLenum kFreeImageFormat = FI_RGBA_RED == 2 ? GL_BGRA : GL_RGBA;

uint32_t Upload(int width, int height, GLenum format, const void* pixels)
{
    GLuint id = 0;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, format, GL_UNSIGNED_BYTE, pixels);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    return id;
}

// To standard output, and to the log when one is open.
void PrintAndLogIfOpen(const std::string& line)
{
    PrintLine(line);
    LogIfOpen(line);
}

// The fixed lines first, then one of our own naming the file, to the same places.
void ReportLoadFailure(const DecodedPicture& picture)
{
    using Failure = DecodedPicture::Failure;
    const std::string file = "[TextureManager::LoadTexture] " + picture.path;
    switch (picture.failure) {
    case Failure::UnknownType:
        PrintLine("fif unknown 2");
        PrintLine(file + " is not a picture of a format FreeImage knows");
        return;
    case Failure::NoPixels:
        PrintAndLogIfOpen(file + " holds no pixels that can be shown");
        return;
    case Failure::TooLarge:
        PrintAndLogIfOpen("Image failed to load! ");
        PrintAndLogIfOpen(file + ": " + std::to_string(picture.refused_width) + " x " +
                          std::to_string(picture.refused_height) + " is larger than a picture may be (" +
                          std::to_string(TextureDecoder::kMaxSide) + " on a side, " +
                          std::to_string(TextureDecoder::kMaxPixels) + " pixels in all)");
        return;
    case Failure::Unreadable:
    case Failure::None:
        PrintAndLogIfOpen("Image failed to load! ");
        PrintAndLogIfOpen(file + " could not be read");
        return;
    }
}
} // namespace

TextureManager::TextureManager() { textures.rehash(8); }

TextureManager::~TextureManager() = default;

TextureManager* TextureManager::GetInstance()
{
    static TextureManager instance;
    return &instance;
}

bool TextureManager::LoadTexture(const std::string& path, const std::string& name)
{
    if (name.empty()) return false;
    auto found = textures.find(name);
    if (found != textures.end() && found->second) return false;
    // A file that failed once fails again: a sprite asking every frame must not flood the log.
    if (reported_.count(path)) return false;
    DecodedPicture picture;
    picture.path = path;
    TextureDecoder::Decode(picture);
    auto texture = std::make_shared<Texture>();
    texture->name = name;
    texture->path = path;
    if (!Finish(*texture, picture)) return false;
    textures[name] = texture;
    ++changes_;
    return true;
}

void TextureManager::AddKnown(const std::string& path, const std::string& name)
{
    if (name.empty()) return;
    std::shared_ptr<Texture>& entry = textures[name];
    if (entry) return;
    entry = std::make_shared<Texture>();
    entry->name = name;
    entry->path = path;
    entry->pending = true;
    ++changes_;
}

void TextureManager::Prefetch(const std::shared_ptr<Texture>& texture)
{
    if (!texture || !texture->pending || reading_.count(texture.get())) return;
    reading_[texture.get()] = {texture, decoder_.Queue(texture->path)};
}

uint32_t TextureManager::LoadKnown(Texture& texture)
{
    std::shared_ptr<TextureDecoder::Job> job;
    auto reading = reading_.find(&texture);
    if (reading != reading_.end()) {
        job = reading->second.job;
        reading_.erase(reading);
        decoder_.Wait(*job);
        Finish(texture, job->picture);
    } else {
        DecodedPicture picture;
        picture.path = texture.path;
        TextureDecoder::Decode(picture);
        Finish(texture, picture);
    }
    return texture.id;
}

void TextureManager::UploadFinished()
{
    for (auto it = reading_.begin(); it != reading_.end();) {
        if (!decoder_.Done(*it->second.job)) {
            ++it;
            continue;
        }
        Finish(*it->second.texture, it->second.job->picture);
        it = reading_.erase(it);
    }
    // Once a frame at most: a scene's pictures arrive over a few frames.
    if (pixels_freed_) TrimFreedPixels();
    pixels_freed_ = false;
}

void TextureManager::ReleaseAllBut(const std::unordered_set<const Texture*>& kept)
{
    if (!Graphics::IsGLReady()) return;
    for (auto& [name, texture] : textures) {
        if (!texture || !texture->id || texture->path.empty() || kept.count(texture.get())) continue;
        glDeleteTextures(1, &texture->id);
        texture->id = 0;
        texture->pending = true;
        ++pixel_changes_;
    }
}

void TextureManager::TrimFreedPixels()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

bool TextureManager::Finish(Texture& texture, DecodedPicture& picture)
{
    texture.pending = false;
    if (picture.type_from_name) PrintLine("fif unknown 1");
    if (!picture.image) {
        if (FirstReport(picture.path)) ReportLoadFailure(picture);
        return false;
    }
    texture.width = picture.width;
    texture.height = picture.height;
    texture.alpha = std::make_shared<const TextureAlpha>(std::move(picture.alpha));
    // Rows stay bottom-up as FreeImage keeps them: texture coordinate (0, 0) is the bottom-left.
    if (Graphics::IsGLReady()) texture.id = Upload(picture.width, picture.height, kFreeImageFormat, picture.Pixels());
    ++pixel_changes_;
    picture.Release();
    pixels_freed_ = true;
    return true;
}

bool TextureManager::FirstReport(const std::string& path) { return reported_.insert(path).second; }

void TextureManager::ReportMissing(const std::string& name, const std::string& path)
{
    if (!FirstReport(path)) return;
    PrintAndLog("[Sprite::SetTexture] No texture '" + name + "': " + path + " not found; drawn white");
}

std::shared_ptr<Texture> TextureManager::GetTexture(const std::string& name) const
{
    auto found = textures.find(name);
    return found == textures.end() ? nullptr : found->second;
}

void TextureManager::UnloadAllTextures()
{
    decoder_.Stop();
    reading_.clear();
    const bool ready = Graphics::IsGLReady();
    for (auto& [name, texture] : textures) {
        if (ready && texture && texture->id) glDeleteTextures(1, &texture->id);
        if (texture) texture->id = 0;
    }
    textures.clear();
    reported_.clear();
    ++changes_;
    ++pixel_changes_;
    if (white_ && ready && white_->id && white_generation_ == Graphics::GLGeneration()) {
        glDeleteTextures(1, &white_->id);
    }
    white_.reset();
    PrintLine("TextureManager::UnloadAllTextures() Textures unloaded");
}

std::shared_ptr<Texture> TextureManager::GetWhiteTexture()
{
    const bool stale = white_ && white_generation_ != Graphics::GLGeneration();
    if (white_ && !stale && (white_->id || !Graphics::IsGLReady())) return white_;
    white_ = std::make_shared<Texture>();
    white_->name = "White";
    white_->width = white_->height = 1;
    white_->alpha = std::make_shared<const TextureAlpha>(TextureAlpha::Opaque(1));
    white_generation_ = Graphics::GLGeneration();
    if (Graphics::IsGLReady()) {
        const unsigned char pixel[4] = {255, 255, 255, 255};
        white_->id = Upload(1, 1, GL_RGBA, pixel);
    }
    return white_;
}

} // namespace OrvEngine
