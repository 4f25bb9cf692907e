// FreetypeSystem: rasterises the game font (characters 0 to 127 at 48 pixels) into one GL texture
// per character at start-up and draws every live Text each frame in window pixel coordinates.
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

class Text;

struct Character {
    uint32_t texture_id = 0;
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
    // Loads "../Resources/fonts/karla.regular.ttf"; failures are reported and leave what loaded.
    void LoadFont();
    // Draws one string with its baseline starting at (x, y) window pixels; bytes without a glyph
    // draw nothing and do not advance.
    void RenderText(const std::string& text, float x, float y, float scale, const Vec3& colour);

    std::vector<Shader> shaders;
    std::vector<std::shared_ptr<Text>> texts;
    std::map<char, Character> characters;
    uint32_t vertex_array = 0;
    uint32_t vertex_buffer = 0;

private:
    void LoadGlyphs(void* face);
    void MakeQuadBuffer();
};

} // namespace OrvEngine
