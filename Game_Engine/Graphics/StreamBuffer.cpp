#include "Graphics/StreamBuffer.h"

#include <GL/glew.h>

#include <algorithm>

namespace OrvEngine {

void WriteStreamBuffer(uint32_t buffer, size_t& capacity, const void* data, size_t bytes)
{
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    if (bytes > capacity) {
        capacity = std::max(bytes, capacity * 2);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(capacity), nullptr, GL_STREAM_DRAW);
    }
    glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(bytes), data);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

} // namespace OrvEngine
