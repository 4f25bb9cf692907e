// The slider's GL side: the renderer's quad, plain textured program and texture, and the draw.
#include "Components/Slider.h"

#include "Components/Sprite.h"
#include "Components/Transform.h"
#include "Factory/Entity.h"
#include "Graphics/Graphics.h"
#include "Graphics/Model.h"
#include "Graphics/Shader.h"
#include "Graphics/SpriteSystem.h"
#include "Graphics/TextureManager.h"
#include "Windows/WindowsSystems.h"

#include <GL/glew.h>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

namespace OrvEngine {

namespace {
Shader* PlainProgram()
{
    Graphics* graphics = Graphics::GetInstance();
    return graphics->shaders.size() > 1 ? &graphics->shaders[1] : nullptr;
}
} // namespace

void Slider::BindRenderResources() { model = SpriteSystem::GetInstance()->GetQuad(); }

void Slider::SetTexture(const std::string& id)
{
    texture = id.empty() ? nullptr : TextureManager::GetInstance()->GetTexture(id);
    tex_identifier = id;
    texture_path = id.empty() ? std::string() : "../Resources/ArtAssets/" + id + ".png";
}

void Slider::Draw()
{
    if (!Graphics::IsGLReady()) return;
    if (!model) BindRenderResources();
    Shader* shader = PlainProgram();
    if (!model || !model->vertex_array || !shader || !shader->program) return;
    if (auto transform = owner ? owner->GetComponent<Transform>(TRANSFORM) : nullptr) transform->UpdateMatrix();
    TextureManager* textures = TextureManager::GetInstance();
    if (!texture && !tex_identifier.empty()) texture = textures->GetTexture(tex_identifier);
    const uint32_t texture_id = texture && texture->id ? texture->id : textures->GetWhiteTexture()->id;

    WindowsSystems* window = WindowsSystems::GetInstance();
    const glm::mat4 world = Graphics::GetInstance()->GetWorldToNdc();
    const glm::mat4 projection = glm::ortho(0.0f, static_cast<float>(window->width), 0.0f,
                                            static_cast<float>(window->height), -1.0f, 1.0f);
    const glm::mat4 model_matrix = glm::scale(glm::translate(glm::mat4(1.0f), glm::vec3(position.x, position.y, 0.0f)),
                                              glm::vec3(size.x, size.y, 1.0f));
    glViewport(0, 0, static_cast<GLsizei>(window->width), static_cast<GLsizei>(window->height));
    glBindVertexArray(model->vertex_array);
    glUseProgram(shader->program);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture_id);
    glUniformMatrix4fv(shader->Location(UNIFORM_WORLD_TO_NDC), 1, GL_FALSE, glm::value_ptr(world));
    glUniformMatrix4fv(shader->Location(UNIFORM_PROJECTION), 1, GL_FALSE, glm::value_ptr(projection));
    glUniformMatrix4fv(shader->Location(UNIFORM_MODEL), 1, GL_FALSE, glm::value_ptr(model_matrix));
    // The bar's own colour: never the tint the last sprite left behind.
    glUniform4f(shader->Location(UNIFORM_TINT), 1.0f, 1.0f, 1.0f, 1.0f);
    glDrawElements(model->primitive_type, static_cast<GLsizei>(model->index_count), GL_UNSIGNED_SHORT, nullptr);
    glBindVertexArray(0);
    glUseProgram(0);
}

} // namespace OrvEngine
