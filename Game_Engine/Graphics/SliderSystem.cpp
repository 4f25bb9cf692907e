#include "Graphics/SliderSystem.h"

#include "Components/Slider.h"
#include "Components/Transform.h"
#include "CoreEngine/EditorState.h"
#include "CoreEngine/Globals.h"
#include "Factory/ComponentRegistration.h"
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

#include <algorithm>

namespace OrvEngine {

namespace {
Shader* PlainProgram()
{
    Graphics* graphics = Graphics::GetInstance();
    return graphics->shaders.size() > 1 ? &graphics->shaders[1] : nullptr;
}
} // namespace

void SliderSystem::Init()
{
    RegisterComponent<Slider>("Slider", SLIDER);
    RouteComponent(SLIDER, &SliderSystem::AddSlider, &SliderSystem::RemoveSlider);
}

void SliderSystem::AddSlider(const std::shared_ptr<Slider>& slider) { sliders.push_back(slider); }

void SliderSystem::RemoveSlider(const std::shared_ptr<Slider>& slider)
{
    if (!slider) return;
    auto it = std::find(sliders.begin(), sliders.end(), slider);
    if (it != sliders.end()) sliders.erase(it);
}

void SliderSystem::Update()
{
    const auto snapshot = sliders;
    for (const auto& slider : snapshot) {
        if (!slider->owner || !slider->owner->active) continue;
        if (!first_update_done && !EditorState::Editing()) {
            first_update_done = true;
            slider->Init();
        }
        slider->Update();
        Draw(*slider);
    }
    // While editing, the frame went to the editor's framebuffer; the back buffer is cleared.
    if (!GameIsRunning) Graphics::GetInstance()->ClearBackBuffer();
}

void SliderSystem::Draw(Slider& slider)
{
    if (!Graphics::IsGLReady()) return;
    std::shared_ptr<Model> model = SpriteSystem::GetInstance()->GetQuad();
    Shader* shader = PlainProgram();
    if (!model || !model->vertex_array || !shader || !shader->program) return;
    if (auto transform = slider.owner ? slider.owner->GetComponent<Transform>(TRANSFORM) : nullptr) {
        transform->UpdateMatrix();
    }
    TextureManager* textures = TextureManager::GetInstance();
    if (!slider.texture && !slider.tex_identifier.empty()) slider.texture = textures->GetTexture(slider.tex_identifier);
    const uint32_t picture = slider.texture ? textures->Resolve(*slider.texture) : 0;
    const uint32_t texture_id = picture ? picture : textures->GetWhiteTexture()->id;

    WindowsSystems* window = WindowsSystems::GetInstance();
    glViewport(0, 0, static_cast<GLsizei>(window->width), static_cast<GLsizei>(window->height));
    QuadDraw quad;
    quad.model = model.get();
    quad.shader = shader;
    quad.texture_id = texture_id;
    quad.world_to_ndc = Graphics::GetInstance()->GetWorldToNdc();
    quad.model_matrix = glm::scale(glm::translate(glm::mat4(1.0f), glm::vec3(slider.position.x, slider.position.y, 0.0f)),
                                   glm::vec3(slider.size.x, slider.size.y, 1.0f));
    // The bar's own colour (white): never the tint the last sprite left behind.
    DrawQuad(quad);
}

} // namespace OrvEngine
