#version 430 core
// One glyph quad: xy in window pixels, zw the glyph texture coordinate.
layout(location = 0) in vec4 vertex;

uniform mat4 projection;

out vec2 vTexCoord;

void main()
{
    gl_Position = projection * vec4(vertex.xy, 0.0, 1.0);
    vTexCoord = vertex.zw;
}
