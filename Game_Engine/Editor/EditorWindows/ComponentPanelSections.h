// The body of each component's section in the inspector. A section reads the values from its
// component every frame and writes one back only when its widget reports a change; choices in
// combos and buttons act at once. Sections keep nothing between frames.
#pragma once

#include <string>
#include <vector>

namespace OrvEngine {

class Component;
class Entity;

namespace InspectorSections {

// Draws the section of the component stored under `type`; nothing for a type without one
// (Spells) or a component that is not of its type's class.
void Draw(Entity& entity, int type, Component& component);

// The options shared by every section (the inspector's statics).
struct Options {
    // Scaling one axis of a Transform scales the other in proportion.
    bool keep_scale_aspect = true;
    // Sprite sheets animate while the editor shows them.
    bool preview_animation = false;
};
Options& GetOptions();

// The editor's narrow input width for the rows that follow, restored when it goes out of scope,
// so a width never leaks from one section into the next.
class NarrowWidth {
public:
    NarrowWidth();
    ~NarrowWidth();
    NarrowWidth(const NarrowWidth&) = delete;
    NarrowWidth& operator=(const NarrowWidth&) = delete;
};

// The component as its class, or null.
template <class T>
T* As(Component& component)
{
    return dynamic_cast<T*>(&component);
}

// Names of the edited scene's live entities (ascending id) and of every scene (ascending name).
std::vector<std::string> LiveEntityNames();
std::vector<std::string> SceneNames();

// One function per component class, spread over three files by subsystem.
void DrawTransform(Entity& entity, Component& component);
void DrawStats(Entity& entity, Component& component);
void DrawCamera(Entity& entity, Component& component);
void DrawText(Entity& entity, Component& component);
void DrawButton(Entity& entity, Component& component);
void DrawScript(Entity& entity, Component& component);
void DrawParent(Entity& entity, Component& component);
void DrawChild(Entity& entity, Component& component);
void DrawSprite(Entity& entity, Component& component);
void DrawSlider(Entity& entity, Component& component);
void DrawAudio(Entity& entity, Component& component);
void DrawBoxCollider(Entity& entity, Component& component);
void DrawRigidBody(Entity& entity, Component& component);
void DrawEnemyMovement(Entity& entity, Component& component);
void DrawAIMovement(Entity& entity, Component& component);
void DrawPlayerController(Entity& entity, Component& component);
void DrawBossBehaviour(Entity& entity, Component& component);

} // namespace InspectorSections
} // namespace OrvEngine
