#include "Graphics/FrameDamage.h"

#include "Graphics/Graphics.h"
#include "Graphics/SpriteBatch.h"
#include "Graphics/TextureManager.h"
#include "Logging/Logging.h"

#include <GL/glew.h>

#include <algorithm>
#include <functional>
#include <string_view>

namespace OrvEngine {

namespace {
// Swaps with new content the driver must keep before frames are partly repainted.
constexpr int kKeptSwapsNeeded = 3;
// Swaps after which a check that saw too few different frames gives up.
constexpr int kCheckLimit = 600;
// A software rasteriser shades a tile it covers whole by another road than a tile a scissor cuts,
// and the two can differ in the last bit of a colour. Repainting whole tiles, counted from either
// edge of the window, shades every repainted pixel as a whole repaint does.
constexpr int kTile = 64;

int Down(int value) { return value >= 0 ? value / kTile * kTile : -((-value + kTile - 1) / kTile * kTile); }
int Up(int value) { return -Down(-value); }

ScreenRect WholeTiles(const ScreenRect& area, int width, int height)
{
    if (area.Empty()) return area;
    ScreenRect tiles;
    tiles.x0 = std::max(0, std::min(Down(area.x0), width - Up(width - area.x0)));
    tiles.y0 = std::max(0, std::min(Down(area.y0), height - Up(height - area.y0)));
    tiles.x1 = std::min(width, std::max(Up(area.x1), width - Down(width - area.x1)));
    tiles.y1 = std::min(height, std::max(Up(area.y1), height - Down(height - area.y1)));
    return tiles;
}
} // namespace

void ScreenRect::Include(const ScreenRect& other)
{
    if (other.Empty()) return;
    if (Empty()) {
        *this = other;
        return;
    }
    x0 = std::min(x0, other.x0);
    y0 = std::min(y0, other.y0);
    x1 = std::max(x1, other.x1);
    y1 = std::max(y1, other.y1);
}

void FrameDamage::SetAllowed(bool allowed)
{
    allowed_ = allowed;
    last_valid_ = false;
}

bool FrameDamage::Active() const { return allowed_ && check_ == Check::Kept; }

bool FrameDamage::BeginFrame(int width, int height, bool game_view)
{
    frame_open_ = true;
    partial_ = false;
    sprite_pass_ = false;
    untracked_ = false;
    text_ = 0;
    width_ = width;
    height_ = height;
    repainted_ = {0, 0, width, height};
    sprites_ = nullptr;
    clear_pending_ = Active() && game_view && width > 0 && height > 0;
    return clear_pending_;
}

void FrameDamage::SpritePass(SpriteBatch* sprites)
{
    sprites_ = sprites;
    sprite_pass_ = true;
    if (!clear_pending_) return;
    ScreenRect changed;
    const bool comparable = sprites && sprites->ChangedArea(width_, height_, changed);
    const bool same_frame = last_valid_ && !last_untracked_ && width_ == last_width_ && height_ == last_height_ &&
                            TextureManager::GetInstance()->PixelChanges() == last_texture_changes_;
    changed = WholeTiles(changed, width_, height_);
    // Past half the window a partial repaint saves little.
    if (comparable && same_frame && changed.Area() * 2 <= static_cast<long long>(width_) * height_) {
        partial_ = true;
        repainted_ = changed.Empty() ? ScreenRect{} : changed;
        glEnable(GL_SCISSOR_TEST);
        glScissor(repainted_.x0, repainted_.y0, repainted_.x1 - repainted_.x0, repainted_.y1 - repainted_.y0);
    }
    ClearNow();
}

void FrameDamage::TextPass(uint64_t signature)
{
    text_ = signature;
    if (partial_ && signature != last_text_) MakeWhole();
    else if (clear_pending_) ClearNow();
}

void FrameDamage::UntrackedDraw()
{
    untracked_ = true;
    MakeWhole();
}

void FrameDamage::MakeWhole()
{
    if (partial_) {
        glDisable(GL_SCISSOR_TEST);
        partial_ = false;
        repainted_ = {0, 0, width_, height_};
        ClearNow();
        if (sprites_) sprites_->Redraw();
    } else if (clear_pending_) {
        ClearNow();
    }
}

void FrameDamage::ClearNow()
{
    clear_pending_ = false;
    Graphics::GetInstance()->ClearBackBuffer();
}

void FrameDamage::BeforeSwap()
{
    if (frame_open_) {
        if (clear_pending_) ClearNow();
        if (partial_) glDisable(GL_SCISSOR_TEST);
        partial_ = false;
        // The sprites' record matches the back buffer only when this frame's sprite pass drew it.
        last_valid_ = sprite_pass_;
        last_untracked_ = untracked_;
        last_text_ = text_;
        last_width_ = width_;
        last_height_ = height_;
        last_texture_changes_ = TextureManager::GetInstance()->PixelChanges();
        frame_open_ = false;
    } else {
        last_valid_ = false;
    }
    if (allowed_ && check_ == Check::Checking && !HashBackBuffer(before_swap_hash_)) check_ = Check::NotKept;
}

void FrameDamage::AfterSwap()
{
    if (!allowed_ || check_ != Check::Checking) return;
    uint64_t after = 0;
    ++checked_swaps_;
    if (!HashBackBuffer(after) || after != before_swap_hash_) {
        check_ = Check::NotKept;
        PrintAndLog("[FrameDamage] The driver does not keep the back buffer across a swap: every frame is drawn whole");
    } else if (after != last_distinct_hash_) {
        last_distinct_hash_ = after;
        if (++kept_swaps_ >= kKeptSwapsNeeded) check_ = Check::Kept;
    }
    if (check_ == Check::Checking && checked_swaps_ >= kCheckLimit) check_ = Check::NotKept;
}

bool FrameDamage::HashBackBuffer(uint64_t& hash) const
{
    if (!Graphics::IsGLReady() || width_ <= 0 || height_ <= 0) return false;
    for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i) {
    }
    GLint read_framebuffer = 0, read_buffer = 0, alignment = 4;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &read_framebuffer);
    glGetIntegerv(GL_READ_BUFFER, &read_buffer);
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    std::string pixels(static_cast<size_t>(width_) * height_ * 4, '\0');
    glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    const bool read = glGetError() == GL_NO_ERROR;
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(read_framebuffer));
    if (read_framebuffer == 0) glReadBuffer(static_cast<GLenum>(read_buffer));
    hash = std::hash<std::string_view>{}(pixels);
    return read;
}

} // namespace OrvEngine
