// Created-on-first-use singletons for the systems. Deleting the instance resets the accessor,
// so a later run (tests run the engine several times in one process) starts afresh.
#pragma once

namespace OrvEngine {

template <class T>
class Singleton {
public:
    static T* GetInstance()
    {
        if (!instance_) instance_ = new T();
        return instance_;
    }
    static bool Exists() { return instance_ != nullptr; }
    static void DestroyInstance()
    {
        delete instance_;
        instance_ = nullptr;
    }

protected:
    Singleton() = default;
    ~Singleton()
    {
        if (instance_ == static_cast<T*>(this)) instance_ = nullptr;
    }

private:
    static inline T* instance_ = nullptr;
};

} // namespace OrvEngine
