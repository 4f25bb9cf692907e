// Holds every Parent and Child component; updates parents, then children; answers hierarchy queries.
#pragma once

#include "CoreEngine/ISystem.h"
#include "CoreEngine/Singleton.h"

#include <memory>
#include <string>
#include <vector>

namespace OrvEngine {

class Child;
class Parent;

class ParentChildSystem : public ISystem, public Singleton<ParentChildSystem> {
public:
    std::string GetName() override { return "ParentChildSystem"; }
    void Init() override;
    void Update() override;

    void AddParent(const std::shared_ptr<Parent>& parent);
    // Detaches every child of the parent (ChildrenOf) first.
    void RemoveParent(const std::shared_ptr<Parent>& parent);
    void AddChild(const std::shared_ptr<Child>& child);
    void RemoveChild(const std::shared_ptr<Child>& child);
    std::shared_ptr<Child> GetChildByIndex(const std::shared_ptr<Parent>& parent, int index) const;
    std::shared_ptr<Child> GetChildByName(const std::shared_ptr<Parent>& parent, const std::string& name) const;
    // The parent's children: those attached to it, and those not attached yet that name its entity
    // (a child finds its parent by name in its first update after loading).
    std::vector<std::shared_ptr<Child>> ChildrenOf(const std::shared_ptr<Parent>& parent) const;
    bool HasChildren(const std::shared_ptr<Parent>& parent) const;
    void DetachChild(const std::shared_ptr<Parent>& parent, const std::shared_ptr<Child>& child);
    std::vector<std::shared_ptr<Parent>>& GetParents() { return parents; }
    std::vector<std::shared_ptr<Child>>& GetChildren() { return children; }
    // The largest sibling index among the parent's children other than `except`; 0 when none.
    int LargestSiblingIndex(const std::shared_ptr<Parent>& parent, const Child* except) const;

    std::vector<std::shared_ptr<Parent>> parents;
    std::vector<std::shared_ptr<Child>> children;
};

} // namespace OrvEngine
