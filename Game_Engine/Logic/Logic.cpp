#include "Logic/Logic.h"

#include "Components/Camera.h"
#include "Components/Child.h"
#include "Components/Parent.h"
#include "Components/Sprite.h"
#include "Components/Stats.h"
#include "Components/Transform.h"
#include "CoreEngine/EditorState.h"
#include "CoreEngine/Globals.h"
#include "CoreEngine/Message.h"
#include "Factory/ComponentRegistration.h"
#include "Factory/Entity.h"
#include "Factory/EntityFactory.h"
#include "Graphics/Graphics.h"
#include "Logic/AIMovement.h"
#include "Logic/BossBehaviour.h"
#include "Logic/EnemyMovement.h"
#include "Logic/GameplayRouting.h"
#include "Logic/PlayerController.h"
#include "Logic/Spells.h"
#include "Scene/IScene.h"
#include "Scene/SceneStateMachine.h"
#include "Windows/Input.h"

namespace OrvEngine {

namespace {
constexpr float kCameraStep = 0.1f;
Logic::ContactReceiver g_contact_receiver;

// Scales the editor view's height by `factor`, the width following in proportion.
void ZoomEditorCamera(Graphics& graphics, float factor)
{
    const float old_height = graphics.camera_height;
    const float new_height = old_height + old_height * factor;
    // A zero height has no aspect to keep: the width is left alone.
    if (old_height != 0.0f) graphics.camera_width = graphics.camera_width / old_height * new_height;
    graphics.camera_height = new_height;
}
// What the game view shows of an entity: an active one with a visible, not fully transparent
// picture. Walls, triggers and hidden menus are not there to be clicked.
bool IsDrawn(const Entity& entity)
{
    if (!entity.active) return false;
    auto sprite = entity.GetComponent<Sprite>(SPRITE);
    if (!sprite || !sprite->visible || sprite->GetTexIdentifier().empty()) return false;
    return !(sprite->GetIsTinted() && sprite->GetTintColor().GetA() <= 0.0f);
}

// The drawn entity under the point that is drawn last (the largest depth; of equal depths the
// later id), passing over the active camera's entity; null for none.
Entity* TopmostDrawnAt(const IScene& scene, float x, float y)
{
    Entity* camera_entity = ActiveCamera ? ActiveCamera->owner : nullptr;
    Entity* top = nullptr;
    float top_depth = 0.0f;
    for (const auto& [id, entity] : scene.GetEntities()) {
        if (!entity || entity == camera_entity || !IsDrawn(*entity) || !IsPointInEntity(x, y, entity)) continue;
        const float depth = entity->GetComponent<Transform>(TRANSFORM)->position.z;
        if (!top || depth >= top_depth) {
            top = entity;
            top_depth = depth;
        }
    }
    return top;
}
} // namespace

void Logic::SetContactReceiver(ContactReceiver receiver) { g_contact_receiver = std::move(receiver); }

void Logic::Init()
{
    RegisterComponent<PlayerController>("PlayerController", PLAYERCONTROLLER);
    RegisterComponent<EnemyMovement>("EnemyMovement", ENEMYMOVEMENT);
    RegisterComponent<AIMovement>("AIMovement", AIMOVEMENT);
    RegisterComponent<Spells>("Spells", SPELLS);
    RegisterComponent<Stats>("Stats", STATS);
    RegisterComponent<Parent>("Parent", PARENT);
    RegisterComponent<Child>("Child", CHILD);
    RegisterComponent<BossBehaviour>("BossBehaviour", BOSSBEHAVIOUR);
    RouteGameplayComponents();
}

void Logic::HandleMessage(Message* message)
{
    if (!message) return;
    switch (message->id) {
    case MSG_CONTACT: {
        auto* contact = static_cast<ContactMessage*>(message);
        DeliverContact(MSG_CONTACT, contact->entity_a, contact->entity_b);
        break;
    }
    case MSG_COLLISION: {
        auto* collision = static_cast<CollisionMessage*>(message);
        DeliverContact(MSG_COLLISION, collision->entity_a, collision->entity_b);
        break;
    }
    case MSG_MOUSE_BUTTON: Pick(*static_cast<MouseMessage*>(message)); break;
    case MSG_CHAR: CameraKey(*static_cast<CharMessage*>(message)); break;
    default: break;
    }
}

// (A, B) first, then (B, A). Both entities are looked up again before each call: the first
// handler may destroy either of them.
void Logic::DeliverContact(uint32_t message_id, uint64_t a, uint64_t b)
{
    const uint64_t order[2][2] = {{a, b}, {b, a}};
    for (const auto& pair : order) {
        if (!GameIsRunning) return;
        auto scene = CurrentScene();
        if (!scene) return;
        Entity* self = scene->GetEntity(pair[0]);
        Entity* other = scene->GetEntity(pair[1]);
        if (!self || !other) return;
        if (g_contact_receiver) g_contact_receiver(message_id, *self, *other);
    }
}

void Logic::Pick(const MouseMessage& message)
{
    EditorState* editor = EditorState::Current();
    const Input& input = Input::Instance();
    if (!editor || !editor->InViewport(input.screen_x, input.screen_y) || !editor->edited_scene) return;
    if (drag_mode == 1) {
        grab_offset = Vec2();
        drag_mode = 0;
        return;
    }
    Entity* entity = TopmostDrawnAt(*editor->edited_scene, message.x, message.y);
    editor->SetSelection(entity);
    if (!entity) return;
    editor->entity_picked = 1;
    auto left = message.buttons.find(1);
    if (left == message.buttons.end() || left->second == 0) {
        grab_offset = Vec2();
        drag_mode = 0;
    } else {
        auto transform = entity->GetComponent<Transform>(TRANSFORM);
        grab_offset = Vec2(transform->position.x - message.x, transform->position.y - message.y);
        drag_mode = 1;
    }
}

void Logic::CameraKey(const CharMessage& message)
{
    // A key's release repeats its last character; only the press moves the camera.
    if (message.from_release) return;
    Graphics& graphics = *Graphics::GetInstance();
    switch (static_cast<char>(message.code & 0xFF)) {
    // '+' grows the view (more of the level shows), '-' shrinks it.
    case '+':
    case '=': ZoomEditorCamera(graphics, kCameraStep); break;
    case '-':
    case '_': ZoomEditorCamera(graphics, -kCameraStep); break;
    case '[':
    case 'j': graphics.camera_x -= graphics.camera_width * kCameraStep; break;
    case ']':
    case 'l': graphics.camera_x += graphics.camera_width * kCameraStep; break;
    default: break;
    }
}

void Logic::Update()
{
    EditorState* editor = EditorState::Current();
    if (GameIsRunning || drag_mode != 1 || !editor) return;
    // The selection may have been cleared or destroyed (a scene change) since the drag began.
    Entity* entity = editor->selected_id ? EntityFactory::GetInstance()->GetLiveEntity(editor->selected_id) : nullptr;
    if (!entity || entity != editor->selected_entity) return;
    auto transform = entity->GetComponent<Transform>(TRANSFORM);
    if (!transform) return;
    const Input& input = Input::Instance();
    const Vec3 before = transform->position;
    transform->position.x = input.world_x + grab_offset.x;
    transform->position.y = input.world_y + grab_offset.y;
    // A drag is an edit, unless it moves the state of a paused play.
    if (!(transform->position == before) && !EditorPaused) editor->scene_modified = true;
}

} // namespace OrvEngine
