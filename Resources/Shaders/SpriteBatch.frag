#version 430 core
// The tint is the same at every corner of a sprite: flat, so it is not interpolated at all.
uniform sampler2D uTexture;

in vec2 vTexCoord;
flat in vec4 vTint;
out vec4 fragColour;

void main()
{
    fragColour = texture(uTexture, vTexCoord) * vTint;
}
