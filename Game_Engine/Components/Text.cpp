#include "Components/Text.h"

#include "Components/Transform.h"
#include "CoreEngine/Serializer.h"
#include "Factory/Entity.h"

namespace OrvEngine {

bool Text::Serialize(JsonWriter& writer)
{
    Serializer::WriteString(writer, "textToPrint", textToPrint);
    Serializer::WriteFloat(writer, "textSize", textSize);
    Serializer::WriteVec3(writer, "color", color);
    return true;
}

void Text::Deserialize(const rapidjson::Value& value)
{
    const rapidjson::Value* object = Serializer::FirstObject(value);
    if (!object) return;
    textToPrint = Serializer::ReadString(*object, "textToPrint", textToPrint);
    textSize = Serializer::ReadFloat(*object, "textSize", textSize);
    color = Serializer::ReadVec3(*object, "color", color);
}

void Text::Update()
{
    auto transform = owner ? owner->GetComponent<Transform>(TRANSFORM) : nullptr;
    if (!transform) return;
    position = transform->position;
    rotation = transform->rotation;
}

} // namespace OrvEngine
