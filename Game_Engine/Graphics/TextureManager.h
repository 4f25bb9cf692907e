// TextureManager: PNG files loaded once into GL textures and handed out by name (the file name
// without folder and extension). Holds no pixels after upload.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace OrvEngine {

struct Texture {
    uint32_t id = 0; // 0 under the null backend: the picture was read but not uploaded
    std::string name;
    int width = 0;
    int height = 0;
};

class TextureManager {
public:
    static TextureManager* GetInstance();
    virtual ~TextureManager();

    // True when a texture was made and stored under name. A name that holds a texture already is
    // refused; an entry left empty by an earlier lookup is filled. Any bit depth is read (as 32 bits).
    // A failure is reported once per file with its path; that file is not read again until unloading.
    bool LoadTexture(const std::string& path, const std::string& name);
    // Reports, once per path, that a texture a sprite asked for has no file (it is drawn white).
    void ReportMissing(const std::string& name, const std::string& path);
    // The texture stored under name, or empty; never inserts.
    std::shared_ptr<Texture> GetTexture(const std::string& name) const;
    // Deletes every GL texture and empties the map; failed files may then be tried again.
    void UnloadAllTextures();
    // A 1x1 opaque white texture for quads drawn without a picture (made on first use).
    std::shared_ptr<Texture> GetWhiteTexture();
    // Goes up whenever a texture is stored or the table is emptied, so a name that found nothing
    // need not be looked up again until this changes.
    uint64_t Changes() const { return changes_; }

    std::unordered_map<std::string, std::shared_ptr<Texture>> textures;

private:
    TextureManager();
    // True the first time a path is reported.
    bool FirstReport(const std::string& path);

    std::unordered_set<std::string> reported_;
    uint64_t changes_ = 0;
    std::shared_ptr<Texture> white_;
    uint32_t white_generation_ = 0;
};

} // namespace OrvEngine
