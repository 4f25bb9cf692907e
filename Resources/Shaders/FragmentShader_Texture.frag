#version 430 core
uniform sampler2D uTexture;
uniform vec4 tintColor;

in vec2 vTexCoord;
out vec4 fragColour;

void main()
{
    fragColour = texture(uTexture, vTexCoord) * tintColor;
}
