#include "Graphics/QuadDraw.h"

#include "Graphics/Graphics.h"
#include "Graphics/Model.h"
#include "Graphics/Shader.h"
#include "Windows/WindowsSystems.h"

#include <GL/glew.h>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

namespace OrvEngine {

glm::mat4 WindowProjection()
{
    WindowsSystems* window = WindowsSystems::GetInstance();
    return glm::ortho(0.0f, static_cast<float>(window->width), 0.0f, static_cast<float>(window->height), -1.0f, 1.0f);
}

void DrawQuad(const QuadDraw& quad)
{
    Graphics::GetInstance()->damage.UntrackedDraw();
    const Shader& shader = *quad.shader;
    glBindVertexArray(quad.model->vertex_array);
    glUseProgram(shader.program);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, quad.texture_id);
    glUniformMatrix4fv(shader.Location(UNIFORM_WORLD_TO_NDC), 1, GL_FALSE, glm::value_ptr(quad.world_to_ndc));
    glUniformMatrix4fv(shader.Location(UNIFORM_MODEL), 1, GL_FALSE, glm::value_ptr(quad.model_matrix));
    glUniform4f(shader.Location(UNIFORM_TINT), quad.tint.x, quad.tint.y, quad.tint.z, quad.tint.w);
    // Set for every sheet draw, frame 0 included: the uniform keeps the last sheet's value otherwise.
    if (shader.Location(UNIFORM_CURRENT_TASK) >= 0) {
        glUniform1i(shader.Location(UNIFORM_CURRENT_TASK), quad.frame);
    }
    glDrawElements(quad.model->primitive_type, static_cast<GLsizei>(quad.model->index_count), GL_UNSIGNED_SHORT,
                   nullptr);
    // Unbound after every quad: leaving them bound between draws is several times slower on llvmpipe.
    glBindVertexArray(0);
    glUseProgram(0);
}

} // namespace OrvEngine
