#version 430 core
// Plain textured sprites, many to a draw: each vertex carries its sprite's model matrix (the columns
// that vary) and tint. The position is the same product the single-quad shader computes.
layout(location = 0) in vec4 aCorner; // unit-quad corner (xy) and texture coordinate (zw)
layout(location = 1) in vec4 aAxes;   // model columns 0 (xy) and 1 (zw)
layout(location = 2) in vec2 aOrigin; // model column 3
layout(location = 3) in vec4 aTint;

uniform mat4 uWorld_To_NDC_Xform;

out vec2 vTexCoord;
flat out vec4 vTint;

void main()
{
    mat4 model = mat4(vec4(aAxes.xy, 0.0, 0.0), vec4(aAxes.zw, 0.0, 0.0), vec4(0.0, 0.0, 1.0, 0.0),
                      vec4(aOrigin, 0.0, 1.0));
    gl_Position = uWorld_To_NDC_Xform * model * vec4(aCorner.xy, 0.0, 1.0);
    vTexCoord = aCorner.zw;
    vTint = aTint;
}
