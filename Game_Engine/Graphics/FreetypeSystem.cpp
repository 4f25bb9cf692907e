#include "Graphics/FreetypeSystem.h"

#include "Components/Text.h"
#include "Factory/ComponentRegistration.h"
#include "Factory/Entity.h"
#include "Graphics/GlyphAtlas.h"
#include "Graphics/Graphics.h"
#include "Graphics/QuadDraw.h"
#include "Graphics/StreamBuffer.h"
#include "Logging/Logging.h"
#include "Windows/WindowsSystems.h"

#include <GL/glew.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <algorithm>
#include <iterator>
#include <utility>

namespace OrvEngine {

namespace {
const char* const kFontPath = "../Resources/fonts/karla.regular.ttf";
// A glyph is two triangles of (x, y, u, v) vertices.
constexpr size_t kFloatsPerGlyph = 6 * 4;
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
        if (atlas) glDeleteTextures(1, &atlas);
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
    queued_.clear();
    queueing_ = true;
    for (size_t i = 0; i < texts.size(); ++i) {
        std::shared_ptr<Text> text = texts[i];
        if (text->owner && text->owner->active) Draw(*text);
    }
    queueing_ = false;
    if (!Graphics::IsGLReady()) return;
    // The frame's text as one signature: the repaint keeps it only when it is the last frame's.
    uint64_t signature = 1469598103934665603ull;
    const auto mix = [&signature](const void* data, size_t bytes) {
        const auto* p = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < bytes; ++i) signature = (signature ^ p[i]) * 1099511628211ull;
    };
    for (const Queued& q : queued_) {
        const size_t length = q.text.size();
        mix(&length, sizeof(length));
        mix(q.text.data(), length);
        const float values[6] = {q.x, q.y, q.scale, q.colour.x, q.colour.y, q.colour.z};
        mix(values, sizeof(values));
    }
    mix(&atlas, sizeof(atlas));
    Graphics::GetInstance()->damage.TextPass(signature);
    for (const Queued& q : queued_) RenderText(q.text, q.x, q.y, q.scale, q.colour);
}

void FreetypeSystem::Draw(Text& text)
{
    text.Update();
    if (!text.hidden) DrawText(text.textToPrint, text.position.x, text.position.y, text.textSize, text.color);
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
    // A second load starts afresh.
    if (atlas) glDeleteTextures(1, &atlas);
    atlas = 0;
    characters.clear();
    std::fill(std::begin(glyphs_), std::end(glyphs_), nullptr);
    GlyphAtlas packer;
    std::vector<std::pair<int, size_t>> placed; // code, atlas index
    for (int code = 0; code < 128; ++code) {
        if (FT_Load_Char(face, static_cast<FT_ULong>(code), FT_LOAD_RENDER)) {
            PrintLine("ERROR::FREETYTPE: Failed to load Glyph");
            continue;
        }
        const FT_GlyphSlot glyph = face->glyph;
        const FT_Bitmap& bitmap = glyph->bitmap;
        const size_t index = packer.Add(static_cast<int>(bitmap.width), static_cast<int>(bitmap.rows), bitmap.buffer,
                                        bitmap.pitch);
        Character character;
        character.size_x = static_cast<int32_t>(bitmap.width);
        character.size_y = static_cast<int32_t>(bitmap.rows);
        character.bearing_x = glyph->bitmap_left;
        character.bearing_y = glyph->bitmap_top;
        character.advance = static_cast<uint32_t>(glyph->advance.x);
        if (characters.emplace(static_cast<char>(code), character).second) placed.emplace_back(code, index);
    }
    packer.Pack();
    UploadAtlas(packer);
    const float width = static_cast<float>(packer.Width());
    const float height = static_cast<float>(packer.Height());
    for (const auto& [code, index] : placed) {
        Character& ch = characters[static_cast<char>(code)];
        const GlyphAtlas::Box& box = packer.BoxOf(index);
        ch.texture_id = atlas;
        ch.u0 = static_cast<float>(box.x) / width;
        ch.v0 = static_cast<float>(box.y) / height;
        ch.u1 = static_cast<float>(box.x + box.width) / width;
        ch.v1 = static_cast<float>(box.y + box.rows) / height;
        glyphs_[code] = &ch;
    }
}

void FreetypeSystem::UploadAtlas(const GlyphAtlas& packer)
{
    glGenTextures(1, &atlas);
    glBindTexture(GL_TEXTURE_2D, atlas);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RED, packer.Width(), packer.Height(), 0, GL_RED, GL_UNSIGNED_BYTE,
                 packer.Pixels().data());
    // Later uploads are 32-bit rows.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glBindTexture(GL_TEXTURE_2D, 0);
}

void FreetypeSystem::MakeQuadBuffer()
{
    glGenVertexArrays(1, &vertex_array);
    glGenBuffers(1, &vertex_buffer);
    glBindVertexArray(vertex_array);
    glBindBuffer(GL_ARRAY_BUFFER, vertex_buffer);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, 4 * sizeof(float), nullptr);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
    buffer_bytes_ = 0;
}

void FreetypeSystem::DrawText(const std::string& text, float x, float y, float scale, const Vec3& colour)
{
    WindowsSystems* window = WindowsSystems::GetInstance();
    const TextPlacement at =
        PlaceText(x, y, scale, static_cast<float>(window->width), static_cast<float>(window->height));
    if (queueing_) {
        queued_.push_back({text, at.x, at.y, at.scale, colour});
        return;
    }
    if (Graphics::IsGLReady()) Graphics::GetInstance()->damage.UntrackedDraw();
    RenderText(text, at.x, at.y, at.scale, colour);
}

void FreetypeSystem::RenderText(const std::string& text, float x, float y, float scale, const Vec3& colour)
{
    if (!Graphics::IsGLReady() || shaders.empty() || !vertex_array) return;
    vertices_.clear();
    for (const char byte : text) {
        const unsigned char code = static_cast<unsigned char>(byte);
        const Character* found = code < 128 ? glyphs_[code] : nullptr;
        if (!found) continue;
        const Character& ch = *found;
        const float xpos = x + static_cast<float>(ch.bearing_x) * scale;
        const float ypos = y - static_cast<float>(ch.size_y - ch.bearing_y) * scale;
        const float w = static_cast<float>(ch.size_x) * scale;
        const float h = static_cast<float>(ch.size_y) * scale;
        const float quad[kFloatsPerGlyph] = {
            xpos,     ypos + h, ch.u0, ch.v0, xpos,     ypos,     ch.u0, ch.v1, xpos + w, ypos,     ch.u1, ch.v1,
            xpos,     ypos + h, ch.u0, ch.v0, xpos + w, ypos,     ch.u1, ch.v1, xpos + w, ypos + h, ch.u1, ch.v0,
        };
        vertices_.insert(vertices_.end(), std::begin(quad), std::end(quad));
        x += static_cast<float>(ch.advance >> 6) * scale;
    }
    if (vertices_.empty()) return;
    const glm::mat4 projection = WindowProjection();
    const Shader& shader = shaders[0];
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glUseProgram(shader.program);
    glUniformMatrix4fv(shader.Location(UNIFORM_PROJECTION), 1, GL_FALSE, glm::value_ptr(projection));
    glUniform3f(shader.Location(UNIFORM_TEXT_COLOR), colour.x, colour.y, colour.z);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, atlas);
    WriteStreamBuffer(vertex_buffer, buffer_bytes_, vertices_.data(), vertices_.size() * sizeof(float));
    glBindVertexArray(vertex_array);
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(vertices_.size() / 4));
    glBindVertexArray(0);
    glBindTexture(GL_TEXTURE_2D, 0);
}

} // namespace OrvEngine
