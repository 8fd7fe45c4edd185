#pragma once
// Registered callbacks and their delivery. Delivery walks a snapshot of the ids and
// re-checks each before calling it, so a callback may remove any callback (itself too).

#include "Scene.h"

#include <maya/MMessage.h>

#include <string>
#include <vector>

namespace mayahost::messages {

void nodeAdded(Node* node);
void nodeRemoved(Node* node);
void childAdded(const Path& child, const Path& parent);
void childRemoved(const Path& child, const Path& parent);
void nodeDirty(Node* node, const Plug& plug);
void worldMatrixModified(Node* transform, int flags);
void preConnection(const Plug& src, const Plug& dst, bool made);
void scene(int message);
// An MEventMessage event ("timeChanged", …).
void event(const std::string& name);

// Runs the timer callbacks that are due at `now` (seconds on the idle clock); returns the
// time of the next one due, or a negative value when there is no timer.
double runTimers(double now);
double nextTimerDue();
bool hasTimers();

// Registration used by the API classes.
enum class Kind { NodeAdded, NodeRemoved, ChildAdded, ChildRemoved, NodeDirtyPlug, NodeDirty,
                  WorldMatrix, PreConnection, Scene, Timer, Event };
struct Registration {
    Kind kind;
    void* func = nullptr;
    void* client = nullptr;
    Node* node = nullptr;    // node-dirty target
    Path path;               // world-matrix target
    int sceneMessage = 0;
    std::string nodeType;    // node added/removed filter
    std::string eventName;   // MEventMessage event
    double period = 0, last = 0, next = 0;
};
MCallbackId add(Registration registration);
bool remove(MCallbackId id);
double idleClock(); // seconds since the host started
std::size_t registeredCount(); // callbacks registered and not yet removed
// The callbacks still registered whose function lies in the library loaded at `base`
// (dladdr's dli_fbase), each as "<kind> callback <id>".
std::vector<std::string> registeredFrom(const void* base);

} // namespace mayahost::messages
