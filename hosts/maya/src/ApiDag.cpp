// DAG paths, the two iterators and selection lists.
#include "Bridge.h"
#include "Names.h"

#include <maya/MDagPath.h>
#include <maya/MDagPathArray.h>
#include <maya/MItDag.h>
#include <maya/MItDependencyNodes.h>
#include <maya/MSelectionList.h>
#include <maya/MStringArray.h>

using namespace mayahost;

static void setStatus(MStatus* status, MStatus value) {
    if (status) *status = value;
}

// --- MDagPath ------------------------------------------------------------------------

MStatus MDagPath::getAPathTo(const MObject& node, MDagPath& path) {
    Node* n = Bridge::liveNode(node);
    if (!n || !n->cls->dag) return MS::kInvalidParameter;
    auto paths = Scene::get().allPaths(n);
    if (paths.empty()) return MS::kFailure;
    path = Bridge::path(paths.front());
    return MS::kSuccess;
}

MStatus MDagPath::getAllPathsTo(const MObject& node, MDagPathArray& out) {
    out.clear();
    Node* n = Bridge::liveNode(node);
    if (!n || !n->cls->dag) return MS::kInvalidParameter;
    for (const Path& p : Scene::get().allPaths(n)) out.append(Bridge::path(p));
    return MS::kSuccess;
}

MObject MDagPath::node(MStatus* status) const {
    setStatus(status, fValid ? MS::kSuccess : MS::kFailure);
    if (!fValid) return MObject();
    return Bridge::object(fNodes.empty() ? Scene::get().world() : static_cast<Node*>(fNodes.back()));
}

MObject MDagPath::transform(MStatus* status) const {
    setStatus(status, fValid ? MS::kSuccess : MS::kFailure);
    for (auto it = fNodes.rbegin(); it != fNodes.rend(); ++it)
        if (static_cast<Node*>(*it)->hasFn(MFn::kTransform)) return Bridge::object(static_cast<Node*>(*it));
    return fValid ? Bridge::object(Scene::get().world()) : MObject();
}

unsigned int MDagPath::length(MStatus* status) const {
    setStatus(status, fValid ? MS::kSuccess : MS::kFailure);
    return static_cast<unsigned int>(fNodes.size());
}

MStatus MDagPath::push(const MObject& child) {
    Node* c = Bridge::liveNode(child);
    if (!c || !fValid) return MS::kInvalidParameter;
    Node* parent = fNodes.empty() ? Scene::get().world() : static_cast<Node*>(fNodes.back());
    for (Node* k : parent->children)
        if (k == c) {
            fNodes.push_back(c);
            return MS::kSuccess;
        }
    return MS::kInvalidParameter;
}

MStatus MDagPath::pop(unsigned int num) {
    if (!fValid || num > fNodes.size()) return MS::kInvalidParameter;
    fNodes.resize(fNodes.size() - num);
    return MS::kSuccess;
}

unsigned int MDagPath::childCount(MStatus* status) const {
    MObject n = node(status);
    Node* raw = Bridge::node(n);
    return raw ? static_cast<unsigned int>(raw->children.size()) : 0;
}

MObject MDagPath::child(unsigned int i, MStatus* status) const {
    Node* raw = Bridge::node(node());
    if (!raw || i >= raw->children.size()) {
        setStatus(status, MS::kInvalidParameter);
        return MObject();
    }
    setStatus(status, MS::kSuccess);
    return Bridge::object(raw->children[i]);
}

MFn::Type MDagPath::apiType(MStatus* status) const {
    MObject n = node(status);
    return n.isNull() ? MFn::kInvalid : n.apiType();
}

bool MDagPath::hasFn(MFn::Type type, MStatus* status) const { return node(status).hasFn(type); }

bool MDagPath::isValid(MStatus* status) const {
    setStatus(status, MS::kSuccess);
    if (!fValid) return false;
    for (void* n : fNodes)
        if (!static_cast<Node*>(n)->alive) return false;
    return true;
}

bool MDagPath::isVisible(MStatus* status) const {
    setStatus(status, fValid ? MS::kSuccess : MS::kFailure);
    return fValid && Scene::get().isVisible(Bridge::path(*this));
}

MMatrix MDagPath::inclusiveMatrix(MStatus* status) const {
    setStatus(status, fValid ? MS::kSuccess : MS::kFailure);
    return Scene::get().worldMatrix(Bridge::path(*this));
}

MMatrix MDagPath::exclusiveMatrix(MStatus* status) const {
    setStatus(status, fValid ? MS::kSuccess : MS::kFailure);
    Path p = Bridge::path(*this);
    if (!p.empty()) p.pop_back();
    return Scene::get().worldMatrix(p);
}

unsigned int MDagPath::instanceNumber(MStatus* status) const {
    setStatus(status, fValid ? MS::kSuccess : MS::kFailure);
    return fValid ? static_cast<unsigned int>(Scene::get().instanceNumber(Bridge::path(*this))) : 0;
}

bool MDagPath::isInstanced(MStatus* status) const {
    setStatus(status, fValid ? MS::kSuccess : MS::kFailure);
    return !fNodes.empty() && Scene::get().allPaths(static_cast<Node*>(fNodes.back())).size() > 1;
}

MString MDagPath::fullPathName(MStatus* status) const {
    setStatus(status, fValid ? MS::kSuccess : MS::kFailure);
    return MString(names::fullPath(Bridge::path(*this)).c_str());
}

MString MDagPath::partialPathName(MStatus* status) const {
    setStatus(status, fValid ? MS::kSuccess : MS::kFailure);
    return fNodes.empty() ? MString() : MString(static_cast<Node*>(fNodes.back())->name.c_str());
}

// --- MItDag --------------------------------------------------------------------------

MItDag::MItDag(TraversalType type, MFn::Type filter, MStatus* status) : fType(type), fFilter(filter) {
    reset();
    setStatus(status, MS::kSuccess);
}

MStatus MItDag::reset() {
    fPaths.clear();
    fIndex = 0;
    std::vector<Path> all;
    if (fType == kBreadthFirst) {
        std::vector<Path> level{{}};
        while (!level.empty()) {
            std::vector<Path> next;
            for (const Path& p : level) {
                all.push_back(p);
                Node* n = p.empty() ? Scene::get().world() : p.back();
                for (Node* c : n->children) {
                    Path q = p;
                    q.push_back(c);
                    next.push_back(q);
                }
            }
            level = std::move(next);
        }
    } else {
        std::vector<Path> stack{{}};
        while (!stack.empty()) {
            Path p = stack.back();
            stack.pop_back();
            all.push_back(p);
            Node* n = p.empty() ? Scene::get().world() : p.back();
            for (auto it = n->children.rbegin(); it != n->children.rend(); ++it) {
                Path q = p;
                q.push_back(*it);
                stack.push_back(q);
            }
        }
    }
    for (const Path& p : all) {
        Node* n = p.empty() ? Scene::get().world() : p.back();
        if (fFilter == MFn::kInvalid || n->hasFn(fFilter)) fPaths.push_back(Bridge::path(p));
    }
    return MS::kSuccess;
}

MObject MItDag::currentItem(MStatus* status) {
    if (isDone()) {
        setStatus(status, MS::kFailure);
        return MObject();
    }
    return fPaths[fIndex].node(status);
}

MStatus MItDag::getPath(MDagPath& path) const {
    if (isDone()) return MS::kFailure;
    path = fPaths[fIndex];
    return MS::kSuccess;
}

MString MItDag::fullPathName(MStatus* status) const {
    return isDone() ? MString() : fPaths[fIndex].fullPathName(status);
}

MStatus MItDag::next() {
    if (isDone()) return MS::kFailure;
    ++fIndex;
    return MS::kSuccess;
}

bool MItDag::isDone(MStatus* status) const {
    setStatus(status, MS::kSuccess);
    return fIndex >= fPaths.size();
}

unsigned int MItDag::depth(MStatus* status) const { return isDone() ? 0 : fPaths[fIndex].length(status); }

// --- MItDependencyNodes --------------------------------------------------------------

MItDependencyNodes::MItDependencyNodes(MFn::Type filter, MStatus* status) {
    reset(filter);
    setStatus(status, MS::kSuccess);
}

MStatus MItDependencyNodes::reset(MFn::Type filter) {
    fNodes.clear();
    fIndex = 0;
    for (Node* n : Scene::get().liveNodes())
        if (filter == MFn::kInvalid || n->hasFn(filter)) fNodes.push_back(Bridge::object(n));
    return MS::kSuccess;
}

MObject MItDependencyNodes::thisNode(MStatus* status) const {
    // A node deleted while iterating is skipped by next(); its object stays null here.
    if (isDone() || !Bridge::liveNode(fNodes[fIndex])) {
        setStatus(status, MS::kFailure);
        return MObject();
    }
    setStatus(status, MS::kSuccess);
    return fNodes[fIndex];
}

MStatus MItDependencyNodes::next() {
    if (isDone()) return MS::kFailure;
    do {
        ++fIndex;
    } while (fIndex < fNodes.size() && !Bridge::liveNode(fNodes[fIndex]));
    return MS::kSuccess;
}

bool MItDependencyNodes::isDone(MStatus* status) const {
    setStatus(status, MS::kSuccess);
    return fIndex >= fNodes.size();
}

// --- MSelectionList ------------------------------------------------------------------

MStatus MSelectionList::clear() {
    fItems.clear();
    return MS::kSuccess;
}

unsigned int MSelectionList::length(MStatus* status) const {
    setStatus(status, MS::kSuccess);
    return static_cast<unsigned int>(fItems.size());
}

MStatus MSelectionList::add(const MString& matchString, bool) {
    names::Resolved r;
    if (!names::resolve(matchString.asChar(), r)) return MS::kInvalidParameter;
    Item item;
    item.node = Bridge::object(r.node);
    item.isDag = r.node->cls->dag;
    if (item.isDag) item.path = Bridge::path(r.path);
    if (r.hasFaces) item.component = Bridge::component(r.faces);
    fItems.push_back(item);
    return MS::kSuccess;
}

MStatus MSelectionList::add(const MObject& object, bool mergeWithExisting) {
    Node* n = Bridge::liveNode(object);
    if (!n) return MS::kInvalidParameter;
    Item item;
    item.node = object;
    if (n->cls->dag) {
        auto paths = Scene::get().allPaths(n);
        if (!paths.empty()) {
            item.isDag = true;
            item.path = Bridge::path(paths.front());
        }
    }
    if (mergeWithExisting)
        for (const Item& i : fItems)
            if (i.node == object && i.component.isNull()) return MS::kSuccess;
    fItems.push_back(item);
    return MS::kSuccess;
}

MStatus MSelectionList::add(const MDagPath& path, const MObject& component, bool mergeWithExisting) {
    if (!path.isValid() || path.length() == 0) return MS::kInvalidParameter;
    if (mergeWithExisting)
        for (const Item& i : fItems)
            if (i.isDag && i.path == path && i.component == component) return MS::kSuccess;
    Item item;
    item.node = path.node();
    item.path = path;
    item.isDag = true;
    item.component = component;
    fItems.push_back(item);
    return MS::kSuccess;
}

MStatus MSelectionList::getDependNode(unsigned int index, MObject& depNode) const {
    if (index >= fItems.size()) return MS::kInvalidParameter;
    depNode = fItems[index].node;
    return MS::kSuccess;
}

MStatus MSelectionList::getDagPath(unsigned int index, MDagPath& dagPath, MObject& component) const {
    if (index >= fItems.size() || !fItems[index].isDag) return MS::kFailure;
    dagPath = fItems[index].path;
    if (&component != &MObject::kNullObj) component = fItems[index].component;
    return MS::kSuccess;
}

MStatus MSelectionList::getSelectionStrings(unsigned int index, MStringArray& array) const {
    array.clear();
    if (index >= fItems.size()) return MS::kInvalidParameter;
    const Item& i = fItems[index];
    Node* n = Bridge::node(i.node);
    array.append(MString(i.isDag ? names::fullPath(Bridge::path(i.path)).c_str() : n->name.c_str()));
    return MS::kSuccess;
}
