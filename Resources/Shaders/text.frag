#version 430 core
// The glyph texture's red channel is the coverage.
uniform sampler2D glyph;
uniform vec3 textColor;

in vec2 vTexCoord;
out vec4 fragColour;

void main()
{
    fragColour = vec4(textColor, texture(glyph, vTexCoord).r);
}
