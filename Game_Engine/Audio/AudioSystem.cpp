#include "Audio/AudioSystem.h"

#include "Components/Audio.h"

namespace OrvEngine {

void AudioSystem::Init()
{
    RegisterComponent<Audio>("Audio", AUDIO);
}

} // namespace OrvEngine
