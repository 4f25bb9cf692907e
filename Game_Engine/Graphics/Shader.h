// Shader records: compiling GLSL files under "../Resources/" and linking them into programs.
// Owns no drawing; the uniform locations a program has are looked up once after linking.
#pragma once

#include <cstdint>
#include <string>

namespace OrvEngine {

// The uniforms the engine's programs use, by the names the shader files declare.
enum ShaderUniform : int {
    UNIFORM_WORLD_TO_NDC = 0, // "uWorld_To_NDC_Xform"
    UNIFORM_PROJECTION,       // "projection"
    UNIFORM_MODEL,            // "model"
    UNIFORM_TINT,             // "tintColor"
    UNIFORM_CURRENT_TASK,     // "uCurrent_Task", the 1-based sheet frame
    UNIFORM_TEXT_COLOR,       // "textColor"
    UNIFORM_COUNT
};

struct Shader {
    // 0 until loaded (and under the null backend, where nothing is compiled).
    uint32_t program = 0;
    // -1 for a uniform the program does not have (setting it is then a no-op).
    int32_t locations[UNIFORM_COUNT] = {-1, -1, -1, -1, -1, -1};

    int32_t Location(ShaderUniform uniform) const { return locations[uniform]; }

    // Opens "../Resources/" + path; a missing file or a compile error is reported and the
    // shader object is returned anyway (GL then refuses to link it).
    static uint32_t CompileFile(uint32_t type, const std::string& path);
    // Compiles and links the given files (an empty path is skipped) into record.program.
    static void Load(Shader& record, const std::string& vertex_path, const std::string& fragment_path);
    // Deletes the program when a GL context is current.
    static void Release(Shader& record);
};

} // namespace OrvEngine
