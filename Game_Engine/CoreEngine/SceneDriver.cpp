#include "CoreEngine/SceneDriver.h"

namespace OrvEngine {

namespace {
SceneDriver* g_current = nullptr;
} // namespace

SceneDriver* SceneDriver::Current() { return g_current; }

SceneDriver::SceneDriver() { g_current = this; }

SceneDriver::~SceneDriver()
{
    if (g_current == this) g_current = nullptr;
}

} // namespace OrvEngine
