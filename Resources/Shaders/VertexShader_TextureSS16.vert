#version 430 core
// Sprite sheet: frames are squares side by side in one row, so the frame count is the texture's
// width over its height. uCurrent_Task is the 1-based frame to show.
layout(location = 0) in vec2 aPosition;
layout(location = 1) in vec3 aColour;
layout(location = 2) in vec2 aTexCoord;

uniform mat4 uWorld_To_NDC_Xform;
uniform mat4 model;
uniform int uCurrent_Task;
uniform sampler2D uTexture;

out vec2 vTexCoord;

void main()
{
    ivec2 size = textureSize(uTexture, 0);
    int frames = size.y > 0 ? max(1, size.x / size.y) : 1;
    int frame = max(uCurrent_Task - 1, 0) % frames;
    gl_Position = uWorld_To_NDC_Xform * model * vec4(aPosition, 0.0, 1.0);
    vTexCoord = vec2((aTexCoord.x + float(frame)) / float(frames), aTexCoord.y);
}
