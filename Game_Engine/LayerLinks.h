// The calls a lower layer makes into a higher one. The lower layer holds a hook and knows nothing
// above it; this fills the hooks, each with the same call the lower layer once made itself, so a
// system reached this way is still made on first use. The engine run connects them first thing and
// the tests' reset connects them again.
#pragma once

namespace OrvEngine {

void ConnectLayers();

} // namespace OrvEngine
