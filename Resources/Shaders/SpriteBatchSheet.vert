#version 430 core
// Sprite sheets, many to a draw: as SpriteBatch.vert, with the 1-based frame per vertex. Frames are
// squares side by side in one row, so the frame count is the texture's width over its height.
layout(location = 0) in vec4 aCorner; // unit-quad corner (xy) and texture coordinate (zw)
layout(location = 1) in vec4 aAxes;   // model columns 0 (xy) and 1 (zw)
layout(location = 2) in vec2 aOrigin; // model column 3
layout(location = 3) in vec4 aTint;
layout(location = 4) in int aFrame;

uniform mat4 uWorld_To_NDC_Xform;
uniform sampler2D uTexture;

out vec2 vTexCoord;
flat out vec4 vTint;

void main()
{
    ivec2 size = textureSize(uTexture, 0);
    int frames = size.y > 0 ? max(1, size.x / size.y) : 1;
    int frame = max(aFrame - 1, 0) % frames;
    mat4 model = mat4(vec4(aAxes.xy, 0.0, 0.0), vec4(aAxes.zw, 0.0, 0.0), vec4(0.0, 0.0, 1.0, 0.0),
                      vec4(aOrigin, 0.0, 1.0));
    gl_Position = uWorld_To_NDC_Xform * model * vec4(aCorner.xy, 0.0, 1.0);
    vTexCoord = vec2((aCorner.z + float(frame)) / float(frames), aCorner.w);
    vTint = aTint;
}
