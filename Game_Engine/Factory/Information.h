// Information: an entity's display name, tag and active flag. The entity factory registers it and
// reads it when it makes entities, so it lives beside the factory rather than with the other components.
#pragma once

#include "Factory/Component.h"

#include <cstdint>
#include <string>

namespace OrvEngine {

class Entity;

enum InformationTag : uint32_t {
    TAG_NONE = 0, TAG_PLAYER = 1, TAG_AI = 2, TAG_ENEMY = 3, TAG_OBSTACLE = 4, TAG_BACKGROUND = 5,
    TAG_RANGE_ATTACK = 6, TAG_TERRAIN_DAMAGE = 7, TAG_DIALOGUE = 8, TAG_GAME_MANAGER = 9, TAG_BOSS = 10,
    TAG_OTHERS = 11,
};

// The tag names in number order, as the editor lists them.
const char* const* GetTagNames();
constexpr int kTagCount = 12;

class Information : public Component {
public:
    Information() : Component("Information") {}
    bool Serialize(JsonWriter& writer) override;
    void Deserialize(const rapidjson::Value& value) override;
    void Update() override {}
    std::shared_ptr<Component> Clone() override { return std::make_shared<Information>(*this); }

    void SetName(const std::string& value) { name = value; }
    uint32_t GetType() const { return type; }
    void SetType(const uint32_t& value) { type = value; }
    bool IsActive() const { return active; }
    void SetActive(bool value) { active = value; }

    std::string name;
    uint32_t type = 0;
    bool active = true;
};

// The entity's Information tag; TAG_NONE without Information or entity.
uint32_t TagOf(const Entity* entity);

} // namespace OrvEngine
