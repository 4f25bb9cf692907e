// FrameFence: keeps the game at most one frame ahead of the driver. A driver that draws on threads
// of its own (Mesa's llvmpipe) takes frames as fast as they are handed to it and holds each one's
// memory until it has drawn it and beyond, so a loop that runs ahead piles that memory up. Holds
// only the mark of the last frame swapped; draws nothing.
#pragma once

#include <cstdint>

namespace OrvEngine {

class FrameFence {
public:
    // After the swap: waits, at most a second, until the frame before this one has been drawn,
    // then marks this one. Nothing without GL.
    void AfterSwap();
    // Deletes the mark while its context is current; forgets it once the context is gone.
    void Release();

private:
    void* sync_ = nullptr; // the GL sync object of the last frame swapped
    uint32_t generation_ = 0;
};

} // namespace OrvEngine
