// The interface every engine system implements; the core engine drives systems only through it.
#pragma once

#include <string>

namespace OrvEngine {

struct Message;

class ISystem {
public:
    virtual void HandleMessage(Message* message) { (void)message; }
    virtual void Update() {}
    // The main loop, the broadcast and the profiler know systems only by this name.
    virtual std::string GetName() = 0;
    virtual void Init() {}
    virtual ~ISystem() = default;
};

} // namespace OrvEngine
