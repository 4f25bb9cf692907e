#include "Components/ParentChildSystem.h"

#include "Components/Child.h"
#include "Components/Parent.h"
#include "CoreEngine/EditorState.h"
#include "Factory/ComponentRegistration.h"
#include "Factory/Entity.h"

#include <algorithm>

namespace OrvEngine {

void ParentChildSystem::Init()
{
    RegisterComponent<Parent>("Parent", PARENT);
    RegisterComponent<Child>("Child", CHILD);
    RouteComponent(PARENT, &ParentChildSystem::AddParent, &ParentChildSystem::RemoveParent);
    RouteComponent(CHILD, &ParentChildSystem::AddChild, &ParentChildSystem::RemoveChild);
}

void ParentChildSystem::Update()
{
    // Snapshots: an update never changes the lists, but a child's lookup may run scene code.
    auto parents_now = parents;
    for (auto& parent : parents_now) {
        // In a scene being edited (or a play the editor paused) nothing follows: children only
        // find their parents.
        if (parent && !EditorState::Editing()) parent->Update();
        else if (parent) parent->Hold();
    }
    auto children_now = children;
    for (auto& child : children_now) {
        if (child) child->Update();
    }
}

void ParentChildSystem::AddParent(const std::shared_ptr<Parent>& parent) { parents.push_back(parent); }

void ParentChildSystem::RemoveParent(const std::shared_ptr<Parent>& parent)
{
    if (!parent) return;
    for (auto& child : ChildrenOf(parent)) child->ClearParent();
    parents.erase(std::remove(parents.begin(), parents.end(), parent), parents.end());
}

void ParentChildSystem::AddChild(const std::shared_ptr<Child>& child) { children.push_back(child); }

void ParentChildSystem::RemoveChild(const std::shared_ptr<Child>& child)
{
    if (!child) return;
    auto it = std::find(children.begin(), children.end(), child);
    if (it == children.end()) return;
    // The child leaves its parent's count and link; it finds the parent again by name if re-added.
    auto parent = child->GetParent();
    if (parent && parent->num_children > 0) --parent->num_children;
    child->parent.reset();
    children.erase(it);
}

std::shared_ptr<Child> ParentChildSystem::GetChildByIndex(const std::shared_ptr<Parent>& parent, int index) const
{
    for (const auto& child : children) {
        if (child && child->GetParent() == parent && child->sibling_index == index) return child;
    }
    return nullptr;
}

std::shared_ptr<Child> ParentChildSystem::GetChildByName(const std::shared_ptr<Parent>& parent,
                                                         const std::string& name) const
{
    for (const auto& child : children) {
        if (child && child->GetParent() == parent && child->owner && child->owner->name == name) return child;
    }
    return nullptr;
}

std::vector<std::shared_ptr<Child>> ParentChildSystem::ChildrenOf(const std::shared_ptr<Parent>& parent) const
{
    std::vector<std::shared_ptr<Child>> found;
    if (!parent) return found;
    const std::string name = parent->owner ? parent->owner->name : std::string();
    for (const auto& child : children) {
        if (!child) continue;
        const auto attached = child->GetParent();
        const bool waiting = !attached && !name.empty() && child->parent_name == name;
        if (attached == parent || waiting) found.push_back(child);
    }
    return found;
}

bool ParentChildSystem::HasChildren(const std::shared_ptr<Parent>& parent) const { return !ChildrenOf(parent).empty(); }

void ParentChildSystem::DetachChild(const std::shared_ptr<Parent>& parent, const std::shared_ptr<Child>& child)
{
    auto it = std::find(children.begin(), children.end(), child);
    if (it != children.end() && child->GetParent() == parent) child->ClearParent();
}

int ParentChildSystem::LargestSiblingIndex(const std::shared_ptr<Parent>& parent, const Child* except) const
{
    int largest = 0;
    for (const auto& child : children) {
        if (child && child.get() != except && child->GetParent() == parent) largest = std::max(largest, child->sibling_index);
    }
    return largest;
}

} // namespace OrvEngine
