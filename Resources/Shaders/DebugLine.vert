#version 430 core
// Debug lines arrive already in normalised device coordinates.
layout(location = 0) in vec2 aPosition;
layout(location = 1) in vec4 aColour;

out vec4 vColour;

void main()
{
    gl_Position = vec4(aPosition, 0.0, 1.0);
    vColour = aColour;
}
