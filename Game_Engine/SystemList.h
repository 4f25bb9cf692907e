// The sixteen systems in their fixed order, which is the order of start-up, update, message delivery
// and shutdown. The engine run adds them from this list; the tests' reset deletes them from it.
#pragma once

#include <vector>

namespace OrvEngine {

class ISystem;

struct SystemEntry {
    // The system's singleton, made on first use.
    ISystem* (*get)();
    // Deletes the singleton, so the next get makes a fresh one.
    void (*destroy)();
};

const std::vector<SystemEntry>& EngineSystems();

// Adds every system of the list to the core engine, in order.
void AddEngineSystems();
// Deletes every system singleton, in list order (for a run outside the core engine's own shutdown).
void DestroyEngineSystems();

} // namespace OrvEngine
