#include "CoreEngine/Engine.h"

int main() { return OrvEngine::EngineMain(1); }
