#version 430 core
// Plain textured quad: the model matrix places the unit quad in the world, the world-to-NDC matrix
// is the active camera's (game running) or the editor camera's.
layout(location = 0) in vec2 aPosition;
layout(location = 1) in vec3 aColour;
layout(location = 2) in vec2 aTexCoord;

uniform mat4 uWorld_To_NDC_Xform;
uniform mat4 model;

out vec2 vTexCoord;

void main()
{
    gl_Position = uWorld_To_NDC_Xform * model * vec4(aPosition, 0.0, 1.0);
    vTexCoord = aTexCoord;
}
