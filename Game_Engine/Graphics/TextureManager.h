// TextureManager: textures handed out by name (the file name without folder and extension). Names
// the resource scan finds are known at once and their files read on first use, on worker threads,
// then uploaded on the main thread; no pixels are kept after upload, and a texture no live sprite
// uses may give its GL memory back, to be read again when next drawn.
#pragma once

#include "Graphics/TextureDecoder.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace OrvEngine {

struct Texture {
    uint32_t id = 0; // 0 until uploaded, and under the null backend
    std::string name;
    int width = 0;
    int height = 0;
    // The file the picture comes from; empty for a texture made otherwise.
    std::string path;
    // The picture is to be read from path when next drawn: known but not read yet, or given back.
    bool pending = false;
    // Its clear and solid rows, from the last read of its pixels; null before.
    std::shared_ptr<const TextureAlpha> alpha;
};

class TextureManager {
public:
    static TextureManager* GetInstance();
    virtual ~TextureManager();

    // Reads the file now and stores the texture under name; true when it was made. A name that holds
    // a texture already is refused; an entry left empty by an earlier lookup is filled. Any bit depth
    // is read (as 32 bits). A failure is reported once per file with its path; that file is not read
    // again until unloading.
    bool LoadTexture(const std::string& path, const std::string& name);
    // Makes the name known, its file read on first use; a name already there keeps its texture.
    void AddKnown(const std::string& path, const std::string& name);
    // Starts reading a known texture's file on a worker thread; nothing for a texture already read.
    void Prefetch(const std::shared_ptr<Texture>& texture);
    // The texture's GL id; a known texture not read yet is read (or its worker waited for) and
    // uploaded now. 0 for a file that cannot be read, and without GL.
    uint32_t Resolve(Texture& texture) { return texture.pending ? LoadKnown(texture) : texture.id; }
    // Uploads the textures the workers have finished reading and returns freed pixel memory to the
    // system; once a frame, on the main thread.
    void UploadFinished();
    // Gives back the GL memory of every texture read from a file and not in `kept`; such a texture
    // is read again when next drawn.
    void ReleaseAllBut(const std::unordered_set<const Texture*>& kept);
    // Reports, once per path, that a texture a sprite asked for has no file (it is drawn white).
    void ReportMissing(const std::string& name, const std::string& path);
    // The texture stored under name, or empty; never inserts.
    std::shared_ptr<Texture> GetTexture(const std::string& name) const;
    // Stops the workers, deletes every GL texture and empties the map; failed files may then be
    // tried again.
    void UnloadAllTextures();
    // A 1x1 opaque white texture for quads drawn without a picture (made on first use).
    std::shared_ptr<Texture> GetWhiteTexture();
    // Goes up whenever a name is stored or the table is emptied, so a name that found nothing need
    // not be looked up again until this changes.
    uint64_t Changes() const { return changes_; }
    // Counts uploads and deletions of texture pixels: a texture name can come back with other pixels.
    uint64_t PixelChanges() const { return pixel_changes_; }

    std::unordered_map<std::string, std::shared_ptr<Texture>> textures;

private:
    struct Reading {
        std::shared_ptr<Texture> texture;
        std::shared_ptr<TextureDecoder::Job> job;
    };

    TextureManager();
    uint32_t LoadKnown(Texture& texture);
    // Uploads a read picture into the texture (with GL) and frees the pixels; false, reported once,
    // when the file could not be read.
    bool Finish(Texture& texture, DecodedPicture& picture);
    // True the first time a path is reported.
    bool FirstReport(const std::string& path);
    // Pictures freed on worker threads stay with those threads' malloc arenas until trimmed.
    void TrimFreedPixels();

    std::unordered_set<std::string> reported_;
    std::unordered_map<const Texture*, Reading> reading_;
    TextureDecoder decoder_;
    std::shared_ptr<Texture> white_;
    uint32_t white_generation_ = 0;
    uint64_t changes_ = 0;
    uint64_t pixel_changes_ = 0;
    bool pixels_freed_ = false;
};

} // namespace OrvEngine
