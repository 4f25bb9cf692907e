#include "Components/ScriptComponent.h"

#include "CoreEngine/Serializer.h"

namespace OrvEngine {

bool ScriptComponent::Serialize(JsonWriter& writer)
{
    Serializer::WriteString(writer, "file_name", file_name);
    return true;
}

void ScriptComponent::Deserialize(const rapidjson::Value& value)
{
    const rapidjson::Value* object = Serializer::FirstObject(value);
    if (object) file_name = Serializer::ReadString(*object, "file_name");
}

} // namespace OrvEngine
