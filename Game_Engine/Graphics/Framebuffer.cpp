#include "Graphics/Framebuffer.h"

#include "Graphics/Graphics.h"
#include "Graphics/Model.h"
#include "Logging/Logging.h"

#include <GL/glew.h>

namespace OrvEngine {

void Framebuffer::Init(int w, int h, Shader* shader_record)
{
    width = w > 0 ? w : 1;
    height = h > 0 ? h : 1;
    shader = shader_record;
    allocated_ = false;
    if (!Graphics::IsGLReady()) return;
    // The colour storage comes with the first use (Allocate, Resize): a game that is never edited
    // does not hold two pictures of the screen it never shows.
    glGenFramebuffers(1, &framebuffer);
    glGenTextures(1, &colour_texture);
}

void Framebuffer::Attach()
{
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colour_texture, 0);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        PrintLine("ERROR::FRAMEBUFFER:: Framebuffer is not complete!");
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void Framebuffer::AllocateColour()
{
    glBindTexture(GL_TEXTURE_2D, colour_texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glBindTexture(GL_TEXTURE_2D, 0);
}

void Framebuffer::Resize(int w, int h)
{
    if (w <= 0 || h <= 0 || (allocated_ && w == width && h == height)) return;
    width = w;
    height = h;
    if (!Graphics::IsGLReady() || !colour_texture) return;
    AllocateColour();
    // Once attached the texture stays so: re-specifying its storage keeps the attachment.
    if (!allocated_) Attach();
    allocated_ = true;
}

void Framebuffer::Release()
{
    if (Graphics::IsGLReady()) {
        if (colour_texture) glDeleteTextures(1, &colour_texture);
        if (framebuffer) glDeleteFramebuffers(1, &framebuffer);
    }
    colour_texture = 0;
    framebuffer = 0;
    allocated_ = false;
    model.reset();
}

} // namespace OrvEngine
