#include "Editor/EditorWindows/LEDebugInfo.h"

#include "CoreEngine/CoreEngine.h"
#include "CoreEngine/FPS.h"
#include "CoreEngine/Globals.h"
#include "Editor/EditorLayout.h"
#include "Editor/EditorWidgets.h"

#include <imgui.h>

namespace OrvEngine {

std::string LEDebugInfo::ShownReport(const std::string& report)
{
    std::string shown;
    shown.reserve(report.size());
    for (size_t i = 0; i < report.size(); ++i) {
        shown += report[i];
        if (report[i] == '%' && i + 1 < report.size() && report[i + 1] == '%') ++i;
    }
    return shown;
}

float LEDebugInfo::ShownTime() { return OrvCoreEngine ? OrvCoreEngine->GetTotalTime() : 0.0f; }

void LEDebugInfo::Draw()
{
    EditorLayout::PlaceNextWindow(EditorPane::DebugInfo);
    ImGui::Begin("Debug Info");
    ImGui::Checkbox("show debug drawing", &ShowDebugDrawing);
    // Shown as plain text: nothing in the report is read as a format.
    EditorWidgets::ShowText(ShownReport(FPS::GetInstance()->GetReport()));
    ImGui::Text("%f", ShownTime());
    ImGui::End();
}

} // namespace OrvEngine
