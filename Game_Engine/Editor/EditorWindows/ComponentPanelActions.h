// What the inspector does to an entity besides editing values: renaming it, adding a component by
// its registered name (with the links and registrations that component needs), removing one by
// type id (asking first where others go with it), and attaching a script class. Each component is
// registered with its system exactly once and unregistered exactly once, whatever is pressed twice.
#pragma once

#include <string>
#include <vector>

namespace OrvEngine {

class Entity;

namespace InspectorActions {

// The entity, its Information and the factory's name index take the new name, which other
// objects may share; an empty name changes nothing. True when renamed.
bool Rename(Entity& entity, const std::string& name);
// The edited scene files the entity again under its Information's name and tag: after either changed.
void Reindex(Entity& entity);
// Adds the component registered under `name`. Components that an entity holds once are added
// only when absent; Stats, Audio, Spells, ScriptComponent, Parent and Child replace an existing
// one with a fresh one. True when a component was added.
bool AddComponent(Entity& entity, const std::string& name);
// Removes the component of that type id; Information and Transform stay. Removing a RigidBody2D
// takes the BoxCollider with it and removing a Parent with children orphans them (the box names
// how many and which): both ask first (OK/Cancel) and anything but OK keeps everything. True when
// removed.
bool RemoveComponent(Entity& entity, int type);
// The names of the live objects that follow the entity as their parent (attached, or naming it
// and not attached yet), in id order; none without a Parent. The inspector's child count.
std::vector<std::string> ChildNames(Entity& entity);
// The names of the live objects that change when the entity goes: its children, then the bars
// and sliders that show its stats, in id order.
std::vector<std::string> DependentNames(Entity& entity);
// "A, B and 3 more": at most a handful of names, for a message box.
std::string ShortList(const std::vector<std::string>& names);
// Names the script class in the entity's ScriptComponent. An entity that already has a script
// keeps it, untouched; one without gets a script of that class, not initialised (Init is the
// systems' call when the entity enters them).
void AttachScript(Entity& entity, const std::string& class_name);

} // namespace InspectorActions
} // namespace OrvEngine
