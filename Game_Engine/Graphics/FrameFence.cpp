#include "Graphics/FrameFence.h"

#include "Graphics/Graphics.h"

#include <GL/glew.h>

namespace OrvEngine {

namespace {
// A driver that has not drawn a frame in this long is not waited for any longer.
constexpr GLuint64 kLongestWait = 1000000000ull; // nanoseconds
} // namespace

void FrameFence::AfterSwap()
{
    if (!Graphics::IsGLReady()) return;
    if (sync_ && generation_ == Graphics::GLGeneration()) {
        GLsync last = static_cast<GLsync>(sync_);
        glClientWaitSync(last, GL_SYNC_FLUSH_COMMANDS_BIT, kLongestWait);
        glDeleteSync(last);
    }
    sync_ = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    generation_ = Graphics::GLGeneration();
}

void FrameFence::Release()
{
    if (sync_ && generation_ == Graphics::GLGeneration() && Graphics::IsGLReady()) {
        glDeleteSync(static_cast<GLsync>(sync_));
    }
    sync_ = nullptr;
}

} // namespace OrvEngine
