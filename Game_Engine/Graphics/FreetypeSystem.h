// FreetypeSystem: rasterises the game font (characters 0 to 127 at 48 pixels) into one glyph atlas
// texture at start-up and draws every live Text each frame, one draw per string. Text is authored in
// pixels of a 1920x1080 window and drawn scaled to the real window; the files keep the authored values.
#pragma once

#include "CoreEngine/ISystem.h"
#include "CoreEngine/Math.h"
#include "CoreEngine/Singleton.h"
#include "Graphics/Shader.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace OrvEngine {

class GlyphAtlas;
class Text;

// The window size text positions and sizes are written for.
constexpr float kTextDesignWidth = 1920.0f;
constexpr float kTextDesignHeight = 1080.0f;

// Where text lands in the real window: window pixels from the bottom-left and a glyph scale.
struct TextPlacement {
    float x = 0.0f;
    float y = 0.0f;
    float scale = 0.0f;
};

// Positions follow the window's width and height separately, as the view stretches; the glyphs
// scale by the smaller of the two factors, so a line never outgrows the box it was written for.
// A window without an area places text as authored.
TextPlacement PlaceText(float x, float y, float scale, float window_width, float window_height);

struct Character {
    uint32_t texture_id = 0; // the atlas
    float u0 = 0.0f, v0 = 0.0f, u1 = 0.0f, v1 = 0.0f; // the glyph's box in the atlas, v0 at its top row
    int32_t size_x = 0;    // bitmap width
    int32_t size_y = 0;    // bitmap rows
    int32_t bearing_x = 0; // left offset
    int32_t bearing_y = 0; // top offset
    uint32_t advance = 0;  // in 1/64 pixel
};

class FreetypeSystem : public ISystem, public Singleton<FreetypeSystem> {
public:
    ~FreetypeSystem() override;
    std::string GetName() override { return "Freetype"; }
    void Init() override;
    // Draws each Text whose entity is active, in the order they were added.
    void Update() override;

    void AddText(const std::shared_ptr<Text>& text);
    // Removes the first entry holding this text; nothing when absent or empty.
    void RemoveText(const std::shared_ptr<Text>& text);
    // Brings the Text to its Transform and, unless hidden, draws it (scaled to the window).
    void Draw(Text& text);
    // Loads "../Resources/fonts/karla.regular.ttf"; failures are reported and leave what loaded.
    void LoadFont();
    // Draws one string authored at (x, y) in design pixels with glyph scale `scale`, placed for the
    // current window (PlaceText).
    void DrawText(const std::string& text, float x, float y, float scale, const Vec3& colour);
    // Draws one string with its baseline starting at (x, y) window pixels; bytes without a glyph
    // draw nothing and do not advance.
    void RenderText(const std::string& text, float x, float y, float scale, const Vec3& colour);

    std::vector<Shader> shaders;
    std::vector<std::shared_ptr<Text>> texts;
    std::map<char, Character> characters;
    uint32_t vertex_array = 0;
    uint32_t vertex_buffer = 0;
    uint32_t atlas = 0;

private:
    void LoadGlyphs(void* face);
    void UploadAtlas(const GlyphAtlas& packer);
    void MakeQuadBuffer();

    // A string the frame's texts asked for, drawn once all of them are known.
    struct Queued {
        std::string text;
        float x, y, scale;
        Vec3 colour;
    };

    // The glyph of each code 0 to 127 (into characters), null where the font has none.
    const Character* glyphs_[128] = {};
    std::vector<float> vertices_; // one string's quads, kept for its capacity
    size_t buffer_bytes_ = 0;
    bool queueing_ = false;
    std::vector<Queued> queued_;
};

} // namespace OrvEngine
