#include "Scripts/Dialogue/LineSequenceScript.h"

#include "Components/Sprite.h"
#include "Components/Text.h"
#include "CoreEngine/Globals.h"
#include "Factory/Entity.h"
#include "Factory/EntityFactory.h"
#include "Platform/Platform.h"
#include "Scene/IScene.h"
#include "Scene/SceneStateMachine.h"
#include "Scripts/Dialogue/DialogueBoxScript.h"
#include "Scripts/ScriptHelpers.h"
#include "Windows/Input.h"

using namespace OrvEngine;

void LineSequenceScript::Begin(Entity* entity, const LineTable& table)
{
    lines.clear();
    for (size_t i = 0; i < table.size(); ++i) lines[static_cast<int32_t>(i + 1)] = table[i];
    line_count = static_cast<int32_t>(table.size());
    enter_reload = kEnterReload;
    enter_counter = kEnterReload;
    DialogueIsRunning = true;
    current_line = 1;
    text = ComponentOf<Text>(entity, TEXT);
    shown = false;
}

void LineSequenceScript::ShowLine()
{
    if (shown) return;
    auto line = lines.find(current_line);
    if (text && line != lines.end()) text->SetText(line->second);
    shown = true;
}

void LineSequenceScript::FindBoxWithSprite()
{
    Entity* last = FindLastDialogueEntity();
    box = last && last->GetComponent<Sprite>(SPRITE) ? last->id : 0;
}

void LineSequenceScript::FindBoxWithScript() { box = FindScriptedBox(); }

void LineSequenceScript::RemoveSelf(Entity* entity)
{
    if (!entity) return;
    const uint64_t id = entity->id;
    EntityFactory::GetInstance()->RemoveEntityFromSystems(entity);
    if (auto scene = CurrentScene()) scene->RemoveEntity(id);
}

bool LineSequenceScript::EnterJustPressed()
{
    const auto& counts = Input::GetKeyMessage().counts;
    auto enter = counts.find(Platform::VK_RETURN_KEY);
    return enter != counts.end() && enter->second == 1;
}
