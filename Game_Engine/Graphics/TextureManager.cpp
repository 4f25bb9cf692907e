#include "Graphics/TextureManager.h"

#include "Graphics/Graphics.h"
#include "Logging/Logging.h"

#include <FreeImage.h>
#include <GL/glew.h>

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

void ReportLoadFailure(const std::string& path)
{
    PrintLine("Image failed to load! " + path);
    LogIfOpen("Image failed to load! " + path);
}

// Reads the file as a 32-bit bitmap, or null (the caller reports it).
FIBITMAP* Read32(const std::string& path)
{
    FREE_IMAGE_FORMAT fif = FreeImage_GetFileType(path.c_str(), 0);
    if (fif == FIF_UNKNOWN) {
        PrintLine("fif unknown 1");
        fif = FreeImage_GetFIFFromFilename(path.c_str());
        if (fif == FIF_UNKNOWN) return nullptr;
    }
    FIBITMAP* image = FreeImage_FIFSupportsReading(fif) ? FreeImage_Load(fif, path.c_str(), 0) : nullptr;
    if (!image) return nullptr;
    // Anything but 32 bits per pixel would be read past its end as BGRA.
    if (FreeImage_GetBPP(image) != 32) {
        FIBITMAP* converted = FreeImage_ConvertTo32Bits(image);
        FreeImage_Unload(image);
        image = converted;
    }
    return image;
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
    FIBITMAP* image = Read32(path);
    const BYTE* bits = image ? FreeImage_GetBits(image) : nullptr;
    const int width = image ? static_cast<int>(FreeImage_GetWidth(image)) : 0;
    const int height = image ? static_cast<int>(FreeImage_GetHeight(image)) : 0;
    if (!bits || width == 0 || height == 0) {
        if (image) FreeImage_Unload(image);
        if (FirstReport(path)) ReportLoadFailure(path);
        return false;
    }
    auto texture = std::make_shared<Texture>();
    texture->name = name;
    texture->width = width;
    texture->height = height;
    // Rows stay bottom-up as FreeImage keeps them: texture coordinate (0, 0) is the bottom-left.
    if (Graphics::IsGLReady()) texture->id = Upload(width, height, kFreeImageFormat, bits);
    FreeImage_Unload(image);
    textures[name] = texture;
    ++changes_;
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
    const bool ready = Graphics::IsGLReady();
    for (auto& [name, texture] : textures) {
        if (ready && texture && texture->id) glDeleteTextures(1, &texture->id);
        if (texture) texture->id = 0;
    }
    textures.clear();
    reported_.clear();
    ++changes_;
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
    white_generation_ = Graphics::GLGeneration();
    if (Graphics::IsGLReady()) {
        const unsigned char pixel[4] = {255, 255, 255, 255};
        white_->id = Upload(1, 1, GL_RGBA, pixel);
    }
    return white_;
}

} // namespace OrvEngine
