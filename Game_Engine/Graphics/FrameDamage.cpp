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
// Read swaps after which a check that saw too few different frames gives up.
constexpr int kCheckLimit = 120;
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

ScreenRect ScreenRect::Intersect(const ScreenRect& other) const
{
    ScreenRect r{std::max(x0, other.x0), std::max(y0, other.y0), std::min(x1, other.x1), std::min(y1, other.y1)};
    return r.Empty() ? ScreenRect{} : r;
}

bool ScreenRect::operator==(const ScreenRect& other) const
{
    return x0 == other.x0 && y0 == other.y0 && x1 == other.x1 && y1 == other.y1;
}

bool FrameDamage::Active() const { return check_ == Check::Kept; }

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
    check_frame_ = true;
    game_view_ = game_view;
    clear_pending_ = game_view && width > 0 && height > 0;
    return clear_pending_;
}

void FrameDamage::SpritePass(SpriteBatch* sprites)
{
    sprites_ = sprites;
    sprite_pass_ = true;
    const bool checking = check_ == Check::Checking;
    if (!checking && !clear_pending_) return;
    ScreenRect changed;
    const bool comparable = (checking || Active()) && sprites && sprites->ChangedArea(width_, height_, changed);
    // A frame whose sprites did not change tells nothing about the driver: it is not read.
    if (checking) check_frame_ = !(comparable && changed.Empty());
    if (!clear_pending_) return;
    const bool same_frame = last_valid_ && !last_untracked_ && width_ == last_width_ && height_ == last_height_ &&
                            TextureManager::GetInstance()->PixelChanges() == last_texture_changes_;
    changed = changed.Intersect({0, 0, width_, height_});
    // Past half the window a partial repaint saves little.
    if (Active() && comparable && same_frame && changed.Area() * 2 <= static_cast<long long>(width_) * height_) {
        partial_ = true;
        repainted_ = changed;
        glEnable(GL_SCISSOR_TEST);
        glScissor(repainted_.x0, repainted_.y0, repainted_.x1 - repainted_.x0, repainted_.y1 - repainted_.y0);
    }
    // Opaque scenery over every repainted pixel makes the clear needless.
    if (sprites && sprites->Covers(repainted_)) clear_pending_ = false;
    else ClearNow();
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
    reading_ = check_ == Check::Checking && (check_frame_ || !frame_open_);
    if (frame_open_) {
        if (clear_pending_) ClearNow();
        if (partial_) glDisable(GL_SCISSOR_TEST);
        partial_ = false;
        // The sprites' record matches the back buffer only when this frame's sprite pass drew it
        // there (in the editor it draws into the game view's framebuffer).
        last_valid_ = sprite_pass_ && game_view_;
        last_untracked_ = untracked_;
        last_text_ = text_;
        last_width_ = width_;
        last_height_ = height_;
        last_texture_changes_ = TextureManager::GetInstance()->PixelChanges();
        frame_open_ = false;
    } else {
        last_valid_ = false;
    }
    if (reading_ && !HashBackBuffer(before_swap_hash_)) check_ = Check::NotKept;
}

void FrameDamage::AfterSwap()
{
    if (!reading_ || check_ != Check::Checking) return;
    reading_ = false;
    uint64_t after = 0;
    ++checked_swaps_;
    if (!HashBackBuffer(after) || after != before_swap_hash_) {
        check_ = Check::NotKept;
        PrintAndLog("[FrameDamage] The driver does not keep the back buffer across a swap: every frame is drawn whole");
    } else if (after != last_distinct_hash_) {
        last_distinct_hash_ = after;
        if (++kept_swaps_ >= kKeptSwapsNeeded) check_ = Check::Kept;
    }
    if (check_ == Check::Checking && checked_swaps_ >= kCheckLimit) {
        check_ = Check::NotKept;
        PrintAndLog("[FrameDamage] Too few different frames to check the back buffer: every frame is drawn whole");
    }
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
    // Read in strips of rows, so the check holds no copy of the whole window.
    constexpr int kRows = 32;
    std::string strip(static_cast<size_t>(width_) * kRows * 4, '\0');
    hash = 1469598103934665603ull;
    for (int y = 0; y < height_; y += kRows) {
        const int rows = std::min(kRows, height_ - y);
        glReadPixels(0, y, width_, rows, GL_RGBA, GL_UNSIGNED_BYTE, strip.data());
        const size_t part =
            std::hash<std::string_view>{}(std::string_view(strip.data(), static_cast<size_t>(width_) * rows * 4));
        hash = (hash ^ part) * 1099511628211ull;
    }
    const bool read = glGetError() == GL_NO_ERROR;
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(read_framebuffer));
    if (read_framebuffer == 0) glReadBuffer(static_cast<GLenum>(read_buffer));
    return read;
}

} // namespace OrvEngine
