#include "Graphics/FreetypeSystem.h"

#include "Components/Text.h"
#include "Factory/ComponentRegistration.h"
#include "Factory/Entity.h"
#include "Graphics/Graphics.h"
#include "Graphics/QuadDraw.h"
#include "Logging/Logging.h"
#include "Windows/WindowsSystems.h"

#include <GL/glew.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <algorithm>

namespace OrvEngine {

namespace {
const char* const kFontPath = "../Resources/fonts/karla.regular.ttf";
constexpr GLsizeiptr kQuadBytes = sizeof(float) * 6 * 4;
} // namespace

TextPlacement PlaceText(float x, float y, float scale, float window_width, float window_height)
{
    if (window_width <= 0.0f || window_height <= 0.0f) return {x, y, scale};
    const float sx = window_width / kTextDesignWidth;
    const float sy = window_height / kTextDesignHeight;
    return {x * sx, y * sy, scale * std::min(sx, sy)};
}

FreetypeSystem::~FreetypeSystem()
{
    if (Graphics::IsGLReady()) {
        for (auto& [code, character] : characters) {
            if (character.texture_id) glDeleteTextures(1, &character.texture_id);
        }
        if (vertex_buffer) glDeleteBuffers(1, &vertex_buffer);
        if (vertex_array) glDeleteVertexArrays(1, &vertex_array);
    }
    for (Shader& shader : shaders) Shader::Release(shader);
    characters.clear();
    texts.clear();
    shaders.clear();
}

void FreetypeSystem::Init()
{
    PrintLine("FreetypeSystem Init()");
    RegisterComponent<Text>("Text", TEXT);
    RouteComponent(TEXT, &FreetypeSystem::AddText, &FreetypeSystem::RemoveText);
    LoadFont();
}

void FreetypeSystem::Update()
{
    for (size_t i = 0; i < texts.size(); ++i) {
        std::shared_ptr<Text> text = texts[i];
        if (text->owner && text->owner->active) text->Update();
    }
}

void FreetypeSystem::AddText(const std::shared_ptr<Text>& text)
{
    if (text) texts.push_back(text);
}

void FreetypeSystem::RemoveText(const std::shared_ptr<Text>& text)
{
    if (!text) return;
    auto found = std::find(texts.begin(), texts.end(), text);
    if (found != texts.end()) texts.erase(found);
}

void FreetypeSystem::LoadFont()
{
    // Without GL there is nothing to rasterise into; Graphics has said drawing is disabled.
    if (!Graphics::IsGLReady()) return;
    shaders.assign(1, Shader());
    Shader::Load(shaders[0], "Shaders/text.vert", "Shaders/text.frag");
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library)) {
        PrintLine("ERROR::FREETYPE: Could not init FreeType Library");
        MakeQuadBuffer();
        return;
    }
    FT_Face face = nullptr;
    const std::string font_name = kFontPath;
    if (font_name.empty()) {
        PrintLine("ERROR::FREETYPE: Failed to load font_name");
    } else if (FT_New_Face(library, font_name.c_str(), 0, &face)) {
        PrintLine("ERROR::FREETYPE: Failed to load font");
        face = nullptr;
    } else {
        LoadGlyphs(face);
    }
    if (face) FT_Done_Face(face);
    FT_Done_FreeType(library);
    MakeQuadBuffer();
}

void FreetypeSystem::LoadGlyphs(void* face_handle)
{
    FT_Face face = static_cast<FT_Face>(face_handle);
    FT_Set_Pixel_Sizes(face, 0, 48);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (int code = 0; code < 128; ++code) {
        if (FT_Load_Char(face, static_cast<FT_ULong>(code), FT_LOAD_RENDER)) {
            PrintLine("ERROR::FREETYTPE: Failed to load Glyph");
            continue;
        }
        const FT_GlyphSlot glyph = face->glyph;
        GLuint texture = 0;
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RED, static_cast<GLsizei>(glyph->bitmap.width),
                     static_cast<GLsizei>(glyph->bitmap.rows), 0, GL_RED, GL_UNSIGNED_BYTE, glyph->bitmap.buffer);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        const Character character{texture,
                                  static_cast<int32_t>(glyph->bitmap.width),
                                  static_cast<int32_t>(glyph->bitmap.rows),
                                  glyph->bitmap_left,
                                  glyph->bitmap_top,
                                  static_cast<uint32_t>(glyph->advance.x)};
        if (!characters.emplace(static_cast<char>(code), character).second) glDeleteTextures(1, &texture);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    // Later uploads are 32-bit rows.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
}

void FreetypeSystem::MakeQuadBuffer()
{
    glGenVertexArrays(1, &vertex_array);
    glGenBuffers(1, &vertex_buffer);
    glBindVertexArray(vertex_array);
    glBindBuffer(GL_ARRAY_BUFFER, vertex_buffer);
    glBufferData(GL_ARRAY_BUFFER, kQuadBytes, nullptr, GL_DYNAMIC_DRAW);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, 4 * sizeof(float), nullptr);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
}

void FreetypeSystem::DrawText(const std::string& text, float x, float y, float scale, const Vec3& colour)
{
    WindowsSystems* window = WindowsSystems::GetInstance();
    const TextPlacement at =
        PlaceText(x, y, scale, static_cast<float>(window->width), static_cast<float>(window->height));
    RenderText(text, at.x, at.y, at.scale, colour);
}

void FreetypeSystem::RenderText(const std::string& text, float x, float y, float scale, const Vec3& colour)
{
    if (!Graphics::IsGLReady() || shaders.empty() || !vertex_array) return;
    const glm::mat4 projection = WindowProjection();
    const Shader& shader = shaders[0];
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glUseProgram(shader.program);
    glUniformMatrix4fv(shader.Location(UNIFORM_PROJECTION), 1, GL_FALSE, glm::value_ptr(projection));
    glUniform3f(shader.Location(UNIFORM_TEXT_COLOR), colour.x, colour.y, colour.z);
    glActiveTexture(GL_TEXTURE0);
    glBindVertexArray(vertex_array);
    glBindBuffer(GL_ARRAY_BUFFER, vertex_buffer);
    for (const char byte : text) {
        auto found = characters.find(byte);
        if (found == characters.end()) continue;
        const Character& ch = found->second;
        const float xpos = x + static_cast<float>(ch.bearing_x) * scale;
        const float ypos = y - static_cast<float>(ch.size_y - ch.bearing_y) * scale;
        const float w = static_cast<float>(ch.size_x) * scale;
        const float h = static_cast<float>(ch.size_y) * scale;
        const float vertices[6][4] = {
            {xpos, ypos + h, 0.0f, 0.0f}, {xpos, ypos, 0.0f, 1.0f},     {xpos + w, ypos, 1.0f, 1.0f},
            {xpos, ypos + h, 0.0f, 0.0f}, {xpos + w, ypos, 1.0f, 1.0f}, {xpos + w, ypos + h, 1.0f, 0.0f},
        };
        glBindTexture(GL_TEXTURE_2D, ch.texture_id);
        glBufferSubData(GL_ARRAY_BUFFER, 0, kQuadBytes, vertices);
        glDrawArrays(GL_TRIANGLES, 0, 6);
        x += static_cast<float>(ch.advance >> 6) * scale;
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
    glBindTexture(GL_TEXTURE_2D, 0);
}

} // namespace OrvEngine
