#include "CoreEngine/Serializer.h"

#include "Logging/Logging.h"
#include "Platform/Platform.h"

#include <rapidjson/error/en.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iostream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace OrvEngine {

const char* const kDataFolder = "../Resources/Data/";
Serializer OrvSerializer;

JsonWriter::JsonWriter(rapidjson::StringBuffer& buffer) : rapidjson::PrettyWriter<rapidjson::StringBuffer>(buffer)
{
    SetIndent(' ', 4);
}

bool JsonWriter::Double(double value)
{
    if (!std::isfinite(value)) {
        LogLine("[Serializer] A number that is not finite was written as 0.0");
        value = 0.0;
    }
    return rapidjson::PrettyWriter<rapidjson::StringBuffer>::Double(value);
}

void Serializer::WriteBool(JsonWriter& writer, const char* key, bool value)
{
    writer.Key(key);
    writer.Bool(value);
}

void Serializer::WriteFloat(JsonWriter& writer, const char* key, float value)
{
    writer.Key(key);
    writer.Double(static_cast<double>(value));
}

void Serializer::WriteString(JsonWriter& writer, const char* key, const std::string& value)
{
    writer.Key(key);
    writer.String(value.c_str(), static_cast<rapidjson::SizeType>(value.size()));
}

void Serializer::WriteUint(JsonWriter& writer, const char* key, uint32_t value)
{
    writer.Key(key);
    writer.Uint(value);
}

void Serializer::WriteInt(JsonWriter& writer, const char* key, int32_t value)
{
    writer.Key(key);
    writer.Int(value);
}

namespace {
void WriteFields(JsonWriter& writer, const char* key, std::initializer_list<std::pair<const char*, float>> fields)
{
    Serializer::WriteObjectInArray(writer, key, [fields](JsonWriter& w) {
        for (const auto& [name, value] : fields) Serializer::WriteFloat(w, name, value);
    });
}
} // namespace

void Serializer::WriteVec2(JsonWriter& writer, const char* key, const Vec2& value)
{
    WriteFields(writer, key, {{"x", value.x}, {"y", value.y}});
}

void Serializer::WriteVec3(JsonWriter& writer, const char* key, const Vec3& value)
{
    WriteFields(writer, key, {{"x", value.x}, {"y", value.y}, {"z", value.z}});
}

void Serializer::WriteColor(JsonWriter& writer, const Vec4& rgba)
{
    WriteFields(writer, "tint_color", {{"r", rgba.x}, {"g", rgba.y}, {"b", rgba.z}, {"a", rgba.w}});
}

namespace {
const char kTempPrefix[] = ".tmp.";
const size_t kTempNameLength = sizeof kTempPrefix - 1 + 6; // mkstemp's six letters

// Temporaries of our own naming that an earlier write left when it was killed mid-way.
void RemoveLeftTemporaries(const std::string& folder)
{
    std::error_code error;
    std::filesystem::directory_iterator it(folder.empty() ? "." : folder, error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        const std::string name = it->path().filename().string();
        const bool ours = name.size() == kTempNameLength && name.compare(0, sizeof kTempPrefix - 1, kTempPrefix) == 0 &&
                          std::all_of(name.begin() + sizeof kTempPrefix - 1, name.end(),
                                      [](unsigned char c) { return std::isalnum(c); });
        std::error_code ignored;
        if (ours && it->is_regular_file(ignored)) std::filesystem::remove(it->path(), ignored);
    }
}
} // namespace

bool Serializer::WriteStringToFile(const char* text, const char* name)
{
    const std::string path = std::string(kDataFolder) + name;
    // Short and in the target's folder, so any target name that is legal has a legal temporary
    // beside it and the rename stays on one file system.
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    RemoveLeftTemporaries(folder);
    std::string temp = folder + kTempPrefix + "XXXXXX";
    int fd = mkstemp(temp.data());
    if (fd < 0) {
        std::cout << "[Serializer::WriteStringToFile] Error opening file!" << std::endl;
        return false;
    }
    const size_t length = std::strlen(text);
    size_t written = 0;
    bool ok = true;
    while (ok && written < length) {
        ssize_t n = write(fd, text + written, length - written);
        if (n <= 0) ok = false;
        else written += static_cast<size_t>(n);
    }
    ok = ok && fchmod(fd, 0644) == 0;
    ok = ok && fsync(fd) == 0;
    ok = (close(fd) == 0) && ok;
    ok = ok && std::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        std::remove(temp.c_str());
        std::cout << "[Serializer::WriteStringToFile] Error writing file " << path << std::endl;
        LogIfOpen("[Serializer::WriteStringToFile] Error writing file " + path);
    }
    return ok;
}

bool Serializer::ReadFileToDocument(const std::string& name, rapidjson::Document& document)
{
    const std::string path = std::string(kDataFolder) + name;
    std::ifstream file(path, std::ios::binary);
    if (!file.is_open()) return false;
    std::stringstream contents;
    contents << file.rdbuf();
    document.Parse(contents.str().c_str());
    if (document.HasParseError()) {
        PrintAndLog("[Serializer::ReadFileToDocument] " + path + ": parse error at offset " +
                    std::to_string(document.GetErrorOffset()) + ": " +
                    rapidjson::GetParseError_En(document.GetParseError()));
        document.SetObject();
        return false;
    }
    if (!document.IsObject()) {
        PrintAndLog("[Serializer::ReadFileToDocument] " + path + ": the root is not an object");
        document.SetObject();
        return false;
    }
    return true;
}

const rapidjson::Value* Serializer::FirstObject(const rapidjson::Value& value)
{
    if (value.IsObject()) return &value;
    if (value.IsArray() && !value.Empty() && value[0].IsObject()) return &value[0];
    return nullptr;
}

namespace {
const rapidjson::Value* Member(const rapidjson::Value& object, const char* key)
{
    if (!object.IsObject()) return nullptr;
    auto it = object.FindMember(key);
    return it == object.MemberEnd() ? nullptr : &it->value;
}

float ComponentOf(const rapidjson::Value& object, const char* key, float fallback)
{
    const rapidjson::Value* v = Member(object, key);
    return v && v->IsNumber() ? static_cast<float>(v->GetDouble()) : fallback;
}
} // namespace

std::string Serializer::ReadString(const rapidjson::Value& object, const char* key, const std::string& fallback)
{
    const rapidjson::Value* v = Member(object, key);
    return v && v->IsString() ? std::string(v->GetString(), v->GetStringLength()) : fallback;
}

uint32_t Serializer::ReadUint(const rapidjson::Value& object, const char* key, uint32_t fallback)
{
    const rapidjson::Value* v = Member(object, key);
    if (v && v->IsUint()) return v->GetUint();
    if (v && v->IsNumber() && v->GetDouble() >= 0.0 && v->GetDouble() <= UINT32_MAX) {
        return static_cast<uint32_t>(v->GetDouble());
    }
    return fallback;
}

int32_t Serializer::ReadInt(const rapidjson::Value& object, const char* key, int32_t fallback)
{
    const rapidjson::Value* v = Member(object, key);
    if (v && v->IsInt()) return v->GetInt();
    if (v && v->IsNumber() && std::fabs(v->GetDouble()) <= INT32_MAX) return static_cast<int32_t>(v->GetDouble());
    return fallback;
}

uint64_t Serializer::ReadUint64(const rapidjson::Value& object, const char* key, uint64_t fallback)
{
    const rapidjson::Value* v = Member(object, key);
    return v && v->IsUint64() ? v->GetUint64() : fallback;
}

float Serializer::ReadFloat(const rapidjson::Value& object, const char* key, float fallback)
{
    return ComponentOf(object, key, fallback);
}

bool Serializer::ReadBool(const rapidjson::Value& object, const char* key, bool fallback)
{
    const rapidjson::Value* v = Member(object, key);
    if (!v) return fallback;
    return v->IsTrue();
}

Vec2 Serializer::ReadVec2(const rapidjson::Value& object, const char* key, const Vec2& fallback)
{
    const rapidjson::Value* v = Member(object, key);
    const rapidjson::Value* inner = v ? FirstObject(*v) : nullptr;
    if (!inner) return fallback;
    return {ComponentOf(*inner, "x", fallback.x), ComponentOf(*inner, "y", fallback.y)};
}

Vec3 Serializer::ReadVec3(const rapidjson::Value& object, const char* key, const Vec3& fallback)
{
    const rapidjson::Value* v = Member(object, key);
    const rapidjson::Value* inner = v ? FirstObject(*v) : nullptr;
    if (!inner) return fallback;
    return {ComponentOf(*inner, "x", fallback.x), ComponentOf(*inner, "y", fallback.y),
            ComponentOf(*inner, "z", fallback.z)};
}

Vec4 Serializer::ReadColor(const rapidjson::Value& object, const Vec4& fallback, const char* key)
{
    const rapidjson::Value* v = Member(object, key);
    const rapidjson::Value* inner = v ? FirstObject(*v) : nullptr;
    if (!inner) return fallback;
    return {ComponentOf(*inner, "r", fallback.x), ComponentOf(*inner, "g", fallback.y),
            ComponentOf(*inner, "b", fallback.z), ComponentOf(*inner, "a", fallback.w)};
}

bool Serializer::ReadVec3(const rapidjson::Value& component_array, const char* key, float out[3])
{
    const rapidjson::Value* object = FirstObject(component_array);
    if (!object || !Member(*object, key)) return false;
    Vec3 v = ReadVec3(*object, key, Vec3(out[0], out[1], out[2]));
    out[0] = v.x;
    out[1] = v.y;
    out[2] = v.z;
    return true;
}

bool LogFolderMade(const std::string& path, Platform::MakeDirResult made)
{
    switch (made) {
    case Platform::MakeDirResult::Created:
        LogLine(path + " not found");
        LogLine("Directory " + path + " created");
        return true;
    case Platform::MakeDirResult::Existed:
        LogLine("Directory " + path + " already existed");
        return true;
    case Platform::MakeDirResult::Error:
        break;
    }
    return false;
}

bool MakeDataFolder(const std::string& path, const char* source, bool assert_on_error)
{
    if (LogFolderMade(path, Platform::MakeDirectory(path))) return true;
    const std::string message = "Unexpected error occur while creating directory " + path;
    if (!assert_on_error) {
        PrintAndLog("[" + std::string(source) + "] " + message);
        return false;
    }
    const bool failed = true;
    AssertReport(&failed, "exist", source, __LINE__, message);
    return false;
}

bool IsSafePathComponent(const std::string& name)
{
    if (name.empty() || name == "." || name == "..") return false;
    const auto unsafe = [](unsigned char c) { return c == '/' || c == '\\' || c < 0x20 || c == 0x7F; };
    return std::none_of(name.begin(), name.end(), unsafe);
}

} // namespace OrvEngine
