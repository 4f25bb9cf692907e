#include "Graphics/Shader.h"

#include "Graphics/Graphics.h"
#include "Logging/Logging.h"

#include <GL/glew.h>

#include <fstream>

namespace OrvEngine {

namespace {
const char* const kUniformNames[UNIFORM_COUNT] = {"uWorld_To_NDC_Xform", "projection", "model",
                                                  "tintColor",           "uCurrent_Task", "textColor"};
} // namespace

uint32_t Shader::CompileFile(uint32_t type, const std::string& path)
{
    std::string source;
    std::ifstream file("../Resources/" + path);
    if (!file.is_open()) {
        PrintLine("ERROR LOADING SHADER");
    } else {
        std::string line;
        while (std::getline(file, line)) source += line + "\n";
    }
    const GLuint shader = glCreateShader(type);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled != GL_TRUE) {
        char log[512] = {0};
        glGetShaderInfoLog(shader, sizeof(log), nullptr, log);
        PrintLine("ERROR::SHADER::COULD_NOT_COMPILE_SHADER: " + path);
        PrintLine(log);
    }
    return shader;
}

void Shader::Load(Shader& record, const std::string& vertex_path, const std::string& fragment_path)
{
    if (!Graphics::IsGLReady()) return;
    const GLuint vertex = vertex_path.empty() ? 0 : CompileFile(GL_VERTEX_SHADER, vertex_path);
    const GLuint fragment = fragment_path.empty() ? 0 : CompileFile(GL_FRAGMENT_SHADER, fragment_path);
    record.program = glCreateProgram();
    if (vertex) glAttachShader(record.program, vertex);
    if (fragment) glAttachShader(record.program, fragment);
    glLinkProgram(record.program);
    GLint linked = GL_FALSE;
    glGetProgramiv(record.program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) PrintLine("ERROR LINKING SHADER");
    for (int i = 0; i < UNIFORM_COUNT; ++i) {
        record.locations[i] = linked == GL_TRUE ? glGetUniformLocation(record.program, kUniformNames[i]) : -1;
    }
    glUseProgram(0);
    if (vertex) glDeleteShader(vertex);
    if (fragment) glDeleteShader(fragment);
}

void Shader::Release(Shader& record)
{
    if (record.program && Graphics::IsGLReady()) glDeleteProgram(record.program);
    record.program = 0;
}

} // namespace OrvEngine
