#version 430 core
in vec4 vColour;
out vec4 fragColour;

void main()
{
    fragColour = vColour;
}
