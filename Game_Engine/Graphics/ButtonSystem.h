// ButtonSystem: keyboard and mouse selection of menu buttons.
#pragma once

#include "CoreEngine/ISystem.h"
#include "CoreEngine/Singleton.h"

#include <memory>
#include <string>

namespace OrvEngine {
class Button;

class ButtonSystem : public ISystem, public Singleton<ButtonSystem> {
public:
    std::string GetName() override { return "ButtonSystem"; }
    void Init() override;
    void AddButton(const std::shared_ptr<Button>&) {}
    void RemoveButton(const std::shared_ptr<Button>&) {}
    void ClearSelection() { selected.reset(); }
    std::shared_ptr<Button> selected;
};

} // namespace OrvEngine
