#version 430 core
// Sprites drawn without a tint: the picture as it is, with no multiply by white.
uniform sampler2D uTexture;

in vec2 vTexCoord;
out vec4 fragColour;

void main()
{
    fragColour = texture(uTexture, vTexCoord);
}
