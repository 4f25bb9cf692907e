#include "Scene/KeptEntity.h"

#include "Factory/Entity.h"
#include "Factory/EntityFactory.h"
#include "Scene/IScene.h"

namespace OrvEngine {

bool SearchStamp::Changed(const IScene* scene, const std::string& key) const
{
    return !Covers(scene, key) || (EntityFactory::Exists() ? EntityFactory::GetInstance()->last_id : 0) != numbered_;
}

void SearchStamp::Note(const IScene* scene, const std::string& key)
{
    scene_ = scene;
    key_ = key;
    numbered_ = EntityFactory::Exists() ? EntityFactory::GetInstance()->last_id : 0;
    noted_ = true;
}

Entity* KeptEntity::Kept(const IScene* scene, const std::string& key) const
{
    Entity* entity = id_ && stamp_.Covers(scene, key) ? FindLiveEntity(id_) : nullptr;
    return entity && scene->GetEntity(id_) == entity ? entity : nullptr;
}

void KeptEntity::Keep(const IScene* scene, const std::string& key, const Entity* found)
{
    id_ = found ? found->id : 0;
    stamp_.Note(scene, key);
}

} // namespace OrvEngine
