// Logic: registers the gameplay components, hands contacts to scripts, editor picking.
#pragma once

#include "CoreEngine/ISystem.h"
#include "CoreEngine/Singleton.h"

#include <memory>
#include <string>

namespace OrvEngine {

class Logic : public ISystem, public Singleton<Logic> {
public:
    std::string GetName() override { return "Logic"; }
    void Init() override;
};

} // namespace OrvEngine
