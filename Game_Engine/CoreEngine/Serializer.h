// JSON files under "../Resources/Data/": the pretty writer, the shared shapes of vectors and colours,
// the atomic file write, and one set of checked readers that never assert on bad input.
#pragma once

#include "CoreEngine/ISerializable.h"
#include "CoreEngine/Math.h"

#include <rapidjson/document.h>
#include <rapidjson/prettywriter.h>
#include <rapidjson/stringbuffer.h>

#include <cstdint>
#include <string>

namespace OrvEngine {

extern const char* const kDataFolder; // "../Resources/Data/"

// Four-space pretty writer; a float that is not finite is written as 0.0 with a log line.
class JsonWriter : public rapidjson::PrettyWriter<rapidjson::StringBuffer> {
public:
    explicit JsonWriter(rapidjson::StringBuffer& buffer);
    bool Double(double value);
};

class Serializer {
public:
    static void WriteBool(JsonWriter& writer, const char* key, bool value);
    // The float widened to double, in the shortest text that reads back as that double.
    static void WriteFloat(JsonWriter& writer, const char* key, float value);
    static void WriteString(JsonWriter& writer, const char* key, const std::string& value);
    static void WriteUint(JsonWriter& writer, const char* key, uint32_t value);
    static void WriteInt(JsonWriter& writer, const char* key, int32_t value);
    static void WriteVec2(JsonWriter& writer, const char* key, const Vec2& value);
    static void WriteVec3(JsonWriter& writer, const char* key, const Vec3& value);
    // Always under "tint_color".
    static void WriteColor(JsonWriter& writer, const Vec4& rgba);
    // key: [{...}], the shape every component, entity, vector and colour is saved in; `members`
    // writes what stands between the braces.
    template <typename Members> static void WriteObjectInArray(JsonWriter& writer, const char* key, Members members)
    {
        writer.Key(key);
        writer.StartArray();
        writer.StartObject();
        members(writer);
        writer.EndObject();
        writer.EndArray();
    }
    // The text of one object whose members `members` writes.
    template <typename Members> static std::string ObjectText(Members members)
    {
        rapidjson::StringBuffer buffer;
        JsonWriter writer(buffer);
        writer.StartObject();
        members(writer);
        writer.EndObject();
        return buffer.GetString();
    }

    // Writes exactly `text` to "../Resources/Data/" + name through a temporary file renamed over
    // the target; false (and the target untouched) when any step fails. Temporaries of its own
    // naming that a write killed mid-way left in that folder are removed first.
    bool WriteStringToFile(const char* text, const char* name);
    bool WriteStringToFile(const std::string& text, const std::string& name)
    {
        return WriteStringToFile(text.c_str(), name.c_str());
    }
    // False for a missing file, a parse error or a root that is not an object (each logged but
    // the missing file, which callers report).
    bool ReadFileToDocument(const std::string& name, rapidjson::Document& document);

    // The object a component reads from: element 0 of its array (or the value itself when it is
    // an object); null otherwise.
    static const rapidjson::Value* FirstObject(const rapidjson::Value& value);
    // Checked member readers: a missing or mistyped member gives the fallback.
    static std::string ReadString(const rapidjson::Value& object, const char* key, const std::string& fallback = "");
    static uint32_t ReadUint(const rapidjson::Value& object, const char* key, uint32_t fallback = 0);
    static int32_t ReadInt(const rapidjson::Value& object, const char* key, int32_t fallback = 0);
    static uint64_t ReadUint64(const rapidjson::Value& object, const char* key, uint64_t fallback = 0);
    static float ReadFloat(const rapidjson::Value& object, const char* key, float fallback = 0.0f);
    // True only for the literal true; otherwise the fallback when missing, false when mistyped.
    static bool ReadBool(const rapidjson::Value& object, const char* key, bool fallback = false);
    static Vec2 ReadVec2(const rapidjson::Value& object, const char* key, const Vec2& fallback = Vec2());
    static Vec3 ReadVec3(const rapidjson::Value& object, const char* key, const Vec3& fallback = Vec3());
    static Vec4 ReadColor(const rapidjson::Value& object, const Vec4& fallback = Vec4(), const char* key = "tint_color");
    // Reads a vector member of a component's array into out[3]; false (out untouched) when absent.
    static bool ReadVec3(const rapidjson::Value& component_array, const char* key, float out[3]);
};

extern Serializer OrvSerializer;

// Makes a folder under the data folder, logging "... not found" / "Directory ... created" or
// "... already existed"; any other failure is an assertion report naming `source`, or only a logged
// line when `assert_on_error` is false (a save of many files that goes on with the others).
bool MakeDataFolder(const std::string& path, const char* source, bool assert_on_error = true);
namespace Platform {
enum class MakeDirResult;
}
// The logging half of MakeDataFolder for a folder already tried: true when it was made or existed;
// false on an error, which the caller reports its own way.
bool LogFolderMade(const std::string& path, Platform::MakeDirResult made);

// A name used as a file or folder name: non-empty, not "." or "..", no separators or control characters.
bool IsSafePathComponent(const std::string& name);

} // namespace OrvEngine
