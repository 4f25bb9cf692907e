// An entity followed across frames, kept by id: each use resolves the id through the factory's live
// table, and the search that found it runs again only when it may answer otherwise.
#pragma once

#include <cstdint>
#include <string>

namespace OrvEngine {

class Entity;
class IScene;

// Whether a search may find what it did not: another scene or key, or entities numbered since.
class SearchStamp {
public:
    bool Changed(const IScene* scene, const std::string& key = {}) const;
    bool Covers(const IScene* scene, const std::string& key) const { return noted_ && scene == scene_ && key == key_; }
    void Note(const IScene* scene, const std::string& key = {});
    void Clear() { noted_ = false; }

private:
    const IScene* scene_ = nullptr; // compared, never followed
    std::string key_;
    uint64_t numbered_ = 0; // the factory's last id when noted
    bool noted_ = false;
};

class KeptEntity {
public:
    // The kept entity while it lives in `scene` and the key is the same; else search(*scene), run
    // when the kept one was lost or the stamp changed. Null without a scene.
    template <class Search>
    Entity* Find(const IScene* scene, const std::string& key, Search&& search)
    {
        if (!scene) return nullptr;
        if (Entity* kept = Kept(scene, key)) return kept;
        if (id_ == 0 && !stamp_.Changed(scene, key)) return nullptr;
        Entity* found = search(*scene);
        Keep(scene, key, found);
        return found;
    }

private:
    Entity* Kept(const IScene* scene, const std::string& key) const;
    void Keep(const IScene* scene, const std::string& key, const Entity* found);

    uint64_t id_ = 0;
    SearchStamp stamp_;
};

} // namespace OrvEngine
