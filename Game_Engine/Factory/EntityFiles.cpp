// Entity documents, prefab files and the prefab index.
// Files may repeat keys (entity names, "Archetype"): members are read in file order.
// The index is written only after a prefab change, from the prefab folder's files: never at
// shutdown, so a prefab file removed while the program ran is not listed again.
#include "Factory/EntityFactory.h"

#include "CoreEngine/Serializer.h"
#include "Factory/Entity.h"
#include "Logging/Logging.h"
#include "Platform/Platform.h"

#include <filesystem>
#include <fstream>
#include <set>

namespace OrvEngine {

namespace {
const std::string kPrefabFolder = std::string("../Resources/Data/") + "Prefab/";

bool CheckPrefabName(const std::string& name, const char* operation)
{
    if (IsSafePathComponent(name)) return true;
    PrintAndLog(std::string("[EntityFactory::") + operation + "] Refused prefab name '" + name + "'");
    return false;
}

// Asked only after a failed read: a file that opens was there but could not be read.
bool DataFileOpens(const std::string& path) { return std::ifstream(std::string(kDataFolder) + path).is_open(); }

// Calls `visit` with the array and key of each object in the file, in file order; a missing file gives
// false unreported. An unreadable file or a member that is no array is logged for `operation`.
bool VisitEntityArrays(const std::string& path, const std::string& operation, bool announce,
                       const std::function<void(const rapidjson::Value&, const std::string&)>& visit)
{
    rapidjson::Document document;
    if (!OrvSerializer.ReadFileToDocument(path, document)) {
        if (DataFileOpens(path)) PrintAndLog("[EntityFactory::" + operation + "] Could not read " + path);
        return false;
    }
    if (announce) PrintLine("Successfully read json");
    for (auto member = document.MemberBegin(); member != document.MemberEnd(); ++member) {
        const std::string name(member->name.GetString(), member->name.GetStringLength());
        if (!member->value.IsArray()) {
            PrintAndLog("[EntityFactory::" + operation + "] " + path + ": " + name + " is not an array; skipped");
            continue;
        }
        for (rapidjson::SizeType i = 0; i < member->value.Size(); ++i) {
            if (member->value[i].IsObject()) visit(member->value, name);
        }
    }
    return true;
}
} // namespace

bool EntityFactory::LoadEntities(const std::string& file_name)
{
    const auto create = [this](const auto& array, const auto& name) { CreateEntityFromJson(array, name); };
    return VisitEntityArrays(file_name + ".json", "LoadEntities", true, create);
}

void EntityFactory::SerializeComponents(JsonWriter& writer, Entity* entity)
{
    for (const auto& entry : entity->components) {
        Component& component = *entry.second;
        const auto members = [&component](JsonWriter& w) { component.Serialize(w); };
        Serializer::WriteObjectInArray(writer, component.component_name.c_str(), members);
    }
}

void EntityFactory::SerializeEntities(JsonWriter& writer)
{
    for (const auto& entry : entities) {
        Entity* entity = entry.second;
        const auto members = [this, entity](JsonWriter& w) { SerializeComponents(w, entity); };
        Serializer::WriteObjectInArray(writer, entity->name.c_str(), members);
    }
}

void EntityFactory::SaveEntities(const std::string& file_name)
{
    const std::string text = Serializer::ObjectText([this](JsonWriter& writer) { SerializeEntities(writer); });
    const bool written = OrvSerializer.WriteStringToFile(text, file_name + ".json");
    ORV_ASSERT_AT(written, "Game_Engine/Factory/EntityFactory", "Failed to write to file " + file_name + ".json");
}

bool EntityFactory::LoadArchetypes()
{
    rapidjson::Document document;
    if (!OrvSerializer.ReadFileToDocument("Prefab/Archetype.json", document)) {
        if (!DataFileOpens("Prefab/Archetype.json")) return false;
        PrintAndLog("[EntityFactory::LoadArchetypes] Prefab/Archetype.json could not be read; it will not be rewritten");
        index_unreadable_ = true;
        return false;
    }
    for (auto member = document.MemberBegin(); member != document.MemberEnd(); ++member) {
        if (!member->value.IsString()) {
            PrintAndLog("[EntityFactory::LoadArchetypes] Archetype's data not saved correctly; entry skipped");
            continue;
        }
        LoadPrefab(std::string(member->value.GetString(), member->value.GetStringLength()));
    }
    return true;
}

bool EntityFactory::LoadPrefab(const std::string& prefab_name)
{
    if (!CheckPrefabName(prefab_name, "LoadPrefab")) return false;
    const auto add = [this](const rapidjson::Value& array, const std::string& key) {
        Entity* entity = new Entity();
        AddComponentsFromJson(entity, array, false);
        entity->name = key;
        auto old = archetypes.find(key);
        if (old != archetypes.end()) delete old->second;
        archetypes[key] = entity;
        LogLine("The entity '" + key + "' is added to Archetype");
    };
    return VisitEntityArrays("Prefab/" + prefab_name + ".json", "LoadPrefab", false, add);
}

bool EntityFactory::EnsurePrefabFolder()
{
    return MakeDataFolder(kPrefabFolder, "Game_Engine/Factory/EntityFactory");
}

void EntityFactory::SavePrefab(const uint64_t& id, const std::string& file_name)
{
    auto found = entities.find(id);
    if (found == entities.end()) return;
    if (!CheckPrefabName(file_name, "SavePrefab")) return;
    Entity* entity = found->second;
    const auto members = [this, entity](JsonWriter& w) { SerializeComponents(w, entity); };
    const std::string text = Serializer::ObjectText(
        [&](JsonWriter& writer) { Serializer::WriteObjectInArray(writer, file_name.c_str(), members); });
    if (!EnsurePrefabFolder()) return;
    auto old = archetypes.find(entity->name);
    if (old != archetypes.end() && old->second != entity) {
        Entity* previous = old->second;
        archetypes.erase(old);
        DestroyEntity(previous);
    }
    archetypes[entity->name] = entity;
    const bool written = OrvSerializer.WriteStringToFile(text, "Prefab/" + file_name + ".json");
    ORV_ASSERT_AT(written, "Game_Engine/Factory/EntityFactory", "Failed to write to file " + file_name + ".json");
}

void EntityFactory::DeletePrefab(const std::string& prefab_name)
{
    if (!CheckPrefabName(prefab_name, "DeletePrefab")) return;
    auto found = archetypes.find(prefab_name);
    if (found != archetypes.end()) {
        Entity* prefab = found->second;
        archetypes.erase(found);
        DestroyEntity(prefab);
    }
    Platform::RemoveFile(kPrefabFolder + prefab_name + ".json");
}

bool EntityFactory::SaveArchetypeIndex()
{
    if (index_unreadable_) return false;
    std::set<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(kPrefabFolder, error)) {
        const std::string name = entry.path().stem().string();
        if (entry.path().extension() != ".json" || name == "Archetype" || name.front() == '.') continue;
        if (IsSafePathComponent(name)) names.insert(name);
    }
    if (error) return false;
    const std::string text = Serializer::ObjectText([&names](JsonWriter& writer) {
        for (const std::string& name : names) Serializer::WriteString(writer, "Archetype", name);
    });
    return OrvSerializer.WriteStringToFile(text, "Prefab/Archetype.json");
}

void EntityFactory::FreeArchetypes()
{
    std::map<std::string, Entity*> prefabs;
    prefabs.swap(archetypes);
    for (auto& [name, entity] : prefabs) DestroyEntity(entity);
}

} // namespace OrvEngine
