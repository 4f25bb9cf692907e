// FrameDamage: repaints only the part of the window that changed since the last frame, where the
// driver keeps the back buffer's pixels across a swap (checked on the first frames by reading the
// buffer back before and after swaps). The sprite pass compares its quads with the last frame's and
// scissors the clear and every later draw of the frame to the changed rectangle. Drawing the sprite
// pass cannot account for (lines, sliders, the interface, direct text) makes the frame whole, which
// redraws the sprites, and the next frame whole as well; text that differs from the last frame's
// does the same.
#pragma once

#include <cstdint>

namespace OrvEngine {

class SpriteBatch;

// Window pixels from the bottom-left; x1 and y1 lie one past the last pixel.
struct ScreenRect {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool Empty() const { return x1 <= x0 || y1 <= y0; }
    long long Area() const { return Empty() ? 0 : static_cast<long long>(x1 - x0) * (y1 - y0); }
    void Include(const ScreenRect& other);
    // The overlap with `other`; no overlap gives the empty rectangle {}.
    ScreenRect Intersect(const ScreenRect& other) const;
    bool operator==(const ScreenRect& other) const;
};

class FrameDamage {
public:
    // The back buffer no longer holds the last frame (the window changed size): the next frame is
    // drawn whole.
    void Forget() { last_valid_ = false; }
    // The driver was seen keeping the back buffer.
    bool Active() const;
    const ScreenRect& Repainted() const { return repainted_; }

    // The frame starts on the window's framebuffer. Returns true when the clear is left to the
    // sprite pass (in the game's own view), which leaves it out where opaque sprites cover the
    // repainted part; false when the caller clears the whole window as before.
    bool BeginFrame(int width, int height, bool game_view);
    // The sprite pass, its quads queued and not yet drawn: compares them with the last frame's and
    // applies the waiting clear, scissored to where they differ or whole. A frame made whole later
    // draws the sprites again.
    void SpritePass(SpriteBatch* sprites);
    // The frame's text, as one signature, before any of it is drawn.
    void TextPass(uint64_t signature);
    // Drawing the sprite pass did not account for is about to happen.
    void UntrackedDraw();
    // Before the swap: applies a clear nobody applied, turns the scissor off, and while checking the
    // driver reads the back buffer; after the swap reads it again.
    void BeforeSwap();
    void AfterSwap();

private:
    enum class Check { Checking, Kept, NotKept };

    void MakeWhole();
    void ClearNow();
    // False when the back buffer cannot be read.
    bool HashBackBuffer(uint64_t& hash) const;

    Check check_ = Check::Checking;
    int kept_swaps_ = 0;
    int checked_swaps_ = 0;
    uint64_t before_swap_hash_ = 0;
    uint64_t last_distinct_hash_ = 0;
    bool check_frame_ = true; // this frame's swap is worth reading
    bool reading_ = false;

    // This frame.
    bool frame_open_ = false;
    bool clear_pending_ = false;
    bool partial_ = false;
    bool sprite_pass_ = false;
    bool game_view_ = false;
    bool untracked_ = false;
    uint64_t text_ = 0;
    int width_ = 0, height_ = 0;
    ScreenRect repainted_;
    SpriteBatch* sprites_ = nullptr;

    // The frame the back buffer holds.
    bool last_valid_ = false;
    bool last_untracked_ = false;
    uint64_t last_text_ = 0;
    int last_width_ = 0, last_height_ = 0;
    uint64_t last_texture_changes_ = 0;
};

} // namespace OrvEngine
