// The slider's GL side: the renderer's quad, plain textured program and texture, and the draw.
#include "Components/Slider.h"

#include "Components/Sprite.h"
#include "Components/Transform.h"
#include "Factory/Entity.h"
#include "Graphics/Graphics.h"
#include "Graphics/Model.h"
#include "Graphics/QuadDraw.h"
#include "Graphics/Shader.h"
#include "Graphics/SpriteSystem.h"
#include "Graphics/TextureManager.h"
#include "Windows/WindowsSystems.h"

#include <GL/glew.h>
#include <glm/gtc/matrix_transform.hpp>

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
    const uint32_t picture = texture ? textures->Resolve(*texture) : 0;
    const uint32_t texture_id = picture ? picture : textures->GetWhiteTexture()->id;

    WindowsSystems* window = WindowsSystems::GetInstance();
    glViewport(0, 0, static_cast<GLsizei>(window->width), static_cast<GLsizei>(window->height));
    QuadDraw quad;
    quad.model = model.get();
    quad.shader = shader;
    quad.texture_id = texture_id;
    quad.world_to_ndc = Graphics::GetInstance()->GetWorldToNdc();
    quad.model_matrix = glm::scale(glm::translate(glm::mat4(1.0f), glm::vec3(position.x, position.y, 0.0f)),
                                   glm::vec3(size.x, size.y, 1.0f));
    // The bar's own colour (white): never the tint the last sprite left behind.
    DrawQuad(quad);
}

} // namespace OrvEngine
