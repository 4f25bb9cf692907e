// Camera: the play camera placed by its Transform.
#pragma once

#include "Factory/Component.h"
#include <cstdint>

namespace OrvEngine {
class Transform;

class Camera : public Component {
public:
    Camera() : Component("Camera") {}
    bool Serialize(JsonWriter&) override { return true; }
    void Deserialize(const rapidjson::Value&) override {}
    void Init() override {}
    void HandleMessage(Message*) override {}
    void Update() override {}
    std::shared_ptr<Component> Clone() override { return std::make_shared<Camera>(*this); }
    uint64_t view_width = 0;
    uint64_t view_height = 0;
    std::shared_ptr<Transform> transform;
};

} // namespace OrvEngine
