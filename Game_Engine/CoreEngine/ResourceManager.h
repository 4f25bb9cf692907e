// ResourceManager: scans the art and sound folders at start-up.
#pragma once

#include "CoreEngine/ISystem.h"
#include "CoreEngine/Singleton.h"

#include <memory>
#include <string>

namespace OrvEngine {

class ResourceManager : public ISystem, public Singleton<ResourceManager> {
public:
    std::string GetName() override { return "ResourceManager"; }
    void Init() override;
};

} // namespace OrvEngine
