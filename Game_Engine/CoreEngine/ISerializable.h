// The interface of everything saved as JSON (components, scenes, the window system). Declares the
// writer and the value only, so a header that names them does not pull RapidJSON in; the readers and
// writers that fill them are in Serializer.h.
#pragma once

#include <rapidjson/fwd.h>

namespace OrvEngine {

class JsonWriter;

class ISerializable {
public:
    virtual bool Serialize(JsonWriter& writer) = 0;
    virtual void Deserialize(const rapidjson::Value& value) = 0;
    virtual ~ISerializable() = default;
};

} // namespace OrvEngine
