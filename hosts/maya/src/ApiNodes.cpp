// Function sets over nodes, plugs and attributes.
#include "Bridge.h"
#include "Names.h"

#include <maya/MDagPathArray.h>
#include <maya/MFnAmbientLight.h>
#include <maya/MFnDirectionalLight.h>
#include <maya/MFnMesh.h>
#include <maya/MFnNurbsSurface.h>
#include <maya/MFnPointLight.h>
#include <maya/MFnSpotLight.h>
#include <maya/MFnStringData.h>
#include <maya/MFnTypedAttribute.h>
#include <maya/MNodeClass.h>
#include <maya/MObjectArray.h>
#include <maya/MPlugArray.h>

#include <algorithm>
#include <cstdio>

using namespace mayahost;

static void setStatus(MStatus* status, MStatus value) {
    if (status) *status = value;
}

// --- MFnBase -------------------------------------------------------------------------

bool MFnBase::hasObj(MFn::Type t) const { return fObject.hasFn(t); }
bool MFnBase::hasObj(const MObject& object) const { return object.hasFn(type()); }

MObject MFnBase::object(MStatus* status) const {
    setStatus(status, fObject.isNull() ? MS::kFailure : MS::kSuccess);
    return fObject;
}

MStatus MFnBase::setObject(MObject& object) { return setObject(static_cast<const MObject&>(object)); }

MStatus MFnBase::setObject(const MObject& object) {
    if (object.isNull() || !object.hasFn(type())) {
        fObject = MObject();
        return MS::kInvalidParameter;
    }
    fObject = object;
    return MS::kSuccess;
}

// --- MFnDependencyNode ---------------------------------------------------------------

MFnDependencyNode::MFnDependencyNode(MObject& object, MStatus* status) { setStatus(status, setObject(object)); }
MFnDependencyNode::MFnDependencyNode(const MObject& object, MStatus* status) { setStatus(status, setObject(object)); }

MString MFnDependencyNode::name(MStatus* status) const {
    Node* n = Bridge::node(fObject);
    setStatus(status, n ? MS::kSuccess : MS::kFailure);
    return n ? MString(n->name.c_str()) : MString();
}

MString MFnDependencyNode::typeName(MStatus* status) const {
    Node* n = Bridge::node(fObject);
    setStatus(status, n ? MS::kSuccess : MS::kFailure);
    return n ? MString(n->cls->name.c_str()) : MString();
}

MString MFnDependencyNode::setName(const MString& name, bool, MStatus* status) {
    Node* n = Bridge::liveNode(fObject);
    setStatus(status, n ? MS::kSuccess : MS::kFailure);
    if (!n) return MString();
    Scene::get().rename(n, name.asChar());
    return MString(n->name.c_str());
}

MPlug MFnDependencyNode::findPlug(const MString& attrName, bool, MStatus* status) const {
    Node* n = Bridge::liveNode(fObject);
    const AttrDef* a = n ? Scene::get().findAttr(n, attrName.asChar()) : nullptr;
    setStatus(status, a ? MS::kSuccess : MS::kInvalidParameter);
    return a ? Bridge::plug(Plug{n, a}) : MPlug();
}

MPlug MFnDependencyNode::findPlug(const MString& attrName, MStatus* status) const {
    return findPlug(attrName, false, status);
}

MPlug MFnDependencyNode::findPlug(const MObject& attr, bool, MStatus* status) const {
    MPlug plug(fObject, attr);
    setStatus(status, plug.isNull() ? MS::kInvalidParameter : MS::kSuccess);
    return plug.isNull() ? MPlug() : plug;
}

MPlug MFnDependencyNode::findPlug(const MObject& attr, MStatus* status) const { return findPlug(attr, false, status); }

bool MFnDependencyNode::hasAttribute(const MString& name, MStatus* status) const {
    Node* n = Bridge::liveNode(fObject);
    setStatus(status, n ? MS::kSuccess : MS::kFailure);
    return n && Scene::get().findAttr(n, name.asChar());
}

// --- MFnDagNode ----------------------------------------------------------------------

MFnDagNode::MFnDagNode(MObject& object, MStatus* status) { setStatus(status, setObject(object)); }
MFnDagNode::MFnDagNode(const MObject& object, MStatus* status) { setStatus(status, setObject(object)); }
MFnDagNode::MFnDagNode(const MDagPath& path, MStatus* status) {
    MStatus s = setObject(path.node());
    if (s) fPath = path;
    setStatus(status, s);
}

MStatus MFnDagNode::getPath(MDagPath& path) const {
    if (fPath.isValid()) {
        path = fPath;
        return MS::kSuccess;
    }
    return MDagPath::getAPathTo(fObject, path);
}

MDagPath MFnDagNode::dagPath(MStatus* status) const {
    MDagPath p;
    setStatus(status, getPath(p));
    return p;
}

MStatus MFnDagNode::getAllPaths(MDagPathArray& paths) const { return MDagPath::getAllPathsTo(fObject, paths); }

unsigned int MFnDagNode::parentCount(MStatus* status) const {
    Node* n = Bridge::liveNode(fObject);
    setStatus(status, n ? MS::kSuccess : MS::kFailure);
    return n ? static_cast<unsigned int>(n->parents.size()) : 0;
}

MObject MFnDagNode::parent(unsigned int i, MStatus* status) const {
    Node* n = Bridge::liveNode(fObject);
    bool ok = n && i < n->parents.size();
    setStatus(status, ok ? MS::kSuccess : MS::kInvalidParameter);
    return ok ? Bridge::object(n->parents[i]) : MObject();
}

unsigned int MFnDagNode::childCount(MStatus* status) const {
    Node* n = Bridge::liveNode(fObject);
    setStatus(status, n ? MS::kSuccess : MS::kFailure);
    return n ? static_cast<unsigned int>(n->children.size()) : 0;
}

MObject MFnDagNode::child(unsigned int i, MStatus* status) const {
    Node* n = Bridge::liveNode(fObject);
    bool ok = n && i < n->children.size();
    setStatus(status, ok ? MS::kSuccess : MS::kInvalidParameter);
    return ok ? Bridge::object(n->children[i]) : MObject();
}

bool MFnDagNode::isInstanced(bool, MStatus* status) const {
    Node* n = Bridge::liveNode(fObject);
    setStatus(status, n ? MS::kSuccess : MS::kFailure);
    return n && Scene::get().allPaths(n).size() > 1;
}

MString MFnDagNode::fullPathName(MStatus* status) const { return dagPath(status).fullPathName(); }

MStatus MFnDagNode::getConnectedSetsAndMembers(unsigned int instanceNumber, MObjectArray& sets, MObjectArray& comps,
                                               bool) const {
    sets.clear();
    comps.clear();
    Node* n = Bridge::liveNode(fObject);
    if (!n) return MS::kFailure;
    // Every set here is a shading engine, so all of them are renderable.
    std::vector<std::pair<Node*, std::vector<int>>> groups;
    Scene::get().setMembers(n, static_cast<int>(instanceNumber), groups);
    for (auto& [set, faces] : groups) {
        sets.append(Bridge::object(set));
        comps.append(faces.empty() ? MObject() : Bridge::component(faces));
    }
    return MS::kSuccess;
}

// --- Shapes --------------------------------------------------------------------------

MFnMesh::MFnMesh(MObject& object, MStatus* status) { setStatus(status, setObject(object)); }
MFnMesh::MFnMesh(const MObject& object, MStatus* status) { setStatus(status, setObject(object)); }
MFnMesh::MFnMesh(const MDagPath& path, MStatus* status) : MFnDagNode(path, status) {}

static const Mesh* meshOf(const MObject& object) {
    Node* n = Bridge::liveNode(object);
    return n ? n->mesh.get() : nullptr;
}

int MFnMesh::numVertices(MStatus* status) const {
    const Mesh* m = meshOf(fObject);
    setStatus(status, m ? MS::kSuccess : MS::kFailure);
    return m ? static_cast<int>(m->points.size()) : 0;
}

int MFnMesh::numPolygons(MStatus* status) const {
    const Mesh* m = meshOf(fObject);
    setStatus(status, m ? MS::kSuccess : MS::kFailure);
    return m ? static_cast<int>(m->faces.size()) : 0;
}

int MFnMesh::numUVs(MStatus* status) const {
    const Mesh* m = meshOf(fObject);
    setStatus(status, m ? MS::kSuccess : MS::kFailure);
    return m && m->hasUVs ? static_cast<int>(m->uvs.size()) : 0;
}

MStatus MFnMesh::getUVSetNames(MStringArray& names) const {
    names.clear();
    const Mesh* m = meshOf(fObject);
    if (!m) return MS::kFailure;
    if (m->hasUVs) names.append(MString(m->uvSet.c_str()));
    return MS::kSuccess;
}

MStatus MFnMesh::getColorSetNames(MStringArray& names) const {
    names.clear();
    const Mesh* m = meshOf(fObject);
    if (!m) return MS::kFailure;
    if (!m->colorSet.empty()) names.append(MString(m->colorSet.c_str()));
    return MS::kSuccess;
}

MFnNurbsSurface::MFnNurbsSurface(MObject& object, MStatus* status) { setStatus(status, setObject(object)); }
MFnNurbsSurface::MFnNurbsSurface(const MObject& object, MStatus* status) { setStatus(status, setObject(object)); }
MFnNurbsSurface::MFnNurbsSurface(const MDagPath& path, MStatus* status) : MFnDagNode(path, status) {}

int MFnNurbsSurface::numUVs(MStatus* status) const {
    Node* n = Bridge::liveNode(fObject);
    setStatus(status, n ? MS::kSuccess : MS::kFailure);
    return n ? n->nurbsUVs : 0;
}

// --- Lights --------------------------------------------------------------------------

// Attaches a light function set to a live node of its kind (the set's own type()).
static MStatus attachLight(MFnBase& fn, const MObject& object) {
    if (!Bridge::liveNode(object)) {
        fn.setObject(MObject());
        return MS::kInvalidParameter;
    }
    return fn.setObject(object);
}


static double lightValue(const MObject& object, const char* attr, MStatus* status) {
    Node* n = Bridge::liveNode(object);
    const AttrDef* a = n ? Scene::get().findAttr(n, attr) : nullptr;
    setStatus(status, a ? MS::kSuccess : MS::kFailure);
    return a ? Scene::get().number(n, a) : 0;
}

static MStatus setLightValue(const MObject& object, const char* attr, double value) {
    Node* n = Bridge::liveNode(object);
    const AttrDef* a = n ? Scene::get().findAttr(n, attr) : nullptr;
    if (!a) return MS::kFailure;
    Scene::get().setNumber(n, a, value);
    return MS::kSuccess;
}

MColor MFnLight::color(MStatus* status) const {
    return MColor(static_cast<float>(lightValue(fObject, "cr", status)),
                  static_cast<float>(lightValue(fObject, "cg", status)),
                  static_cast<float>(lightValue(fObject, "cb", status)), 1.0f);
}

MStatus MFnLight::setColor(const MColor& c) {
    Node* n = Bridge::liveNode(fObject);
    if (!n) return MS::kFailure;
    Scene::get().setNumbers(n, Scene::get().findAttr(n, "cl"), {c.r, c.g, c.b});
    return MS::kSuccess;
}

float MFnLight::intensity(MStatus* status) const { return static_cast<float>(lightValue(fObject, "in", status)); }
MStatus MFnLight::setIntensity(const float& value) { return setLightValue(fObject, "in", value); }

// In a constructor, setObject checks against the class being constructed.
#define LIGHT_CONSTRUCTORS(Class)                                                                           \
    Class::Class(MObject& object, MStatus* status) { setStatus(status, attachLight(*this, object)); }         \
    Class::Class(const MObject& object, MStatus* status) { setStatus(status, attachLight(*this, object)); }   \
    Class::Class(const MDagPath& path, MStatus* status) {                                                    \
        MStatus s = attachLight(*this, path.node());                                                         \
        if (s) fPath = path;                                                                                 \
        setStatus(status, s);                                                                                \
    }
LIGHT_CONSTRUCTORS(MFnLight)
LIGHT_CONSTRUCTORS(MFnNonAmbientLight)
LIGHT_CONSTRUCTORS(MFnNonExtendedLight)
LIGHT_CONSTRUCTORS(MFnAmbientLight)
LIGHT_CONSTRUCTORS(MFnDirectionalLight)
LIGHT_CONSTRUCTORS(MFnPointLight)
LIGHT_CONSTRUCTORS(MFnSpotLight)

double MFnSpotLight::coneAngle(MStatus* status) const { return lightValue(fObject, "ca", status); }
MStatus MFnSpotLight::setConeAngle(const double& angle) { return setLightValue(fObject, "ca", angle); }
double MFnSpotLight::penumbraAngle(MStatus* status) const { return lightValue(fObject, "pa", status); }
MStatus MFnSpotLight::setPenumbraAngle(const double& angle) { return setLightValue(fObject, "pa", angle); }

// --- MPlug ---------------------------------------------------------------------------

MPlug::MPlug(const MObject& node, const MObject& attribute) {
    Node* n = Bridge::liveNode(node);
    const AttrDef* a = Bridge::attr(attribute);
    if (!n || !a) return;
    fNode = n;
    fAttr = a;
}

static bool classHas(const Node* n, const AttrDef* a) {
    const auto& own = n->cls->attrs;
    const auto& ext = n->cls->extensions;
    return std::find(own.begin(), own.end(), a) != own.end() || std::find(ext.begin(), ext.end(), a) != ext.end();
}

bool MPlug::isNull(MStatus* status) const {
    setStatus(status, MS::kSuccess);
    const Plug p = Bridge::plug(*this);
    return !p.node || !p.attr || !p.node->alive || !classHas(p.node, p.attr);
}

MObject MPlug::node(MStatus* status) const {
    setStatus(status, fNode ? MS::kSuccess : MS::kFailure);
    return Bridge::object(Bridge::plug(*this).node);
}

MObject MPlug::attribute(MStatus* status) const {
    setStatus(status, fAttr ? MS::kSuccess : MS::kFailure);
    return Bridge::attribute(Bridge::plug(*this).attr);
}

MString MPlug::partialName(bool includeNodeName, bool, bool, bool, bool useFullAttributePath, bool useLongNames,
                           MStatus* status) const {
    if (isNull(status)) return MString();
    const Plug p = Bridge::plug(*this);
    std::string text = p.partialName(useLongNames, useFullAttributePath);
    if (includeNodeName) text = p.node->name + "." + text;
    return MString(text.c_str());
}

MString MPlug::name(MStatus* status) const { return partialName(true, false, false, false, false, true, status); }

MString MPlug::asString(MStatus* status) const {
    if (isNull()) {
        setStatus(status, MS::kFailure);
        return MString();
    }
    setStatus(status, MS::kSuccess);
    const Plug p = Bridge::plug(*this);
    if (p.attr->kind == AttrKind::String) return MString(Scene::get().string(p.node, p.attr).c_str());
    char text[64];
    std::snprintf(text, sizeof text, "%g", Scene::get().number(p.node, p.attr));
    return MString(text);
}

double MPlug::asDouble(MStatus* status) const {
    if (isNull()) {
        setStatus(status, MS::kFailure);
        return 0;
    }
    setStatus(status, MS::kSuccess);
    const Plug p = Bridge::plug(*this);
    return Scene::get().number(p.node, p.attr);
}

float MPlug::asFloat(MStatus* status) const { return static_cast<float>(asDouble(status)); }
int MPlug::asInt(MStatus* status) const { return static_cast<int>(asDouble(status)); }
bool MPlug::asBool(MStatus* status) const { return asDouble(status) != 0; }

MStatus MPlug::setValue(const MString& value) {
    if (isNull()) return MS::kFailure;
    const Plug p = Bridge::plug(*this);
    if (p.attr->kind != AttrKind::String) return MS::kInvalidParameter;
    Scene::get().setString(p.node, p.attr, value.asChar());
    return MS::kSuccess;
}

MStatus MPlug::setValue(double value) {
    if (isNull()) return MS::kFailure;
    const Plug p = Bridge::plug(*this);
    if (p.attr->kind == AttrKind::String || p.attr->kind == AttrKind::Message || p.attr->kind == AttrKind::Compound)
        return MS::kInvalidParameter;
    Scene::get().setNumber(p.node, p.attr, value);
    return MS::kSuccess;
}

bool MPlug::connectedTo(MPlugArray& array, bool asDst, bool asSrc, MStatus* status) const {
    array.clear();
    if (isNull()) {
        setStatus(status, MS::kFailure);
        return false;
    }
    setStatus(status, MS::kSuccess);
    const Plug p = Bridge::plug(*this);
    if (asDst)
        for (const Plug& s : Scene::get().sources(p)) array.append(Bridge::plug(s));
    if (asSrc)
        for (const Plug& d : Scene::get().destinations(p)) array.append(Bridge::plug(d));
    return array.length() > 0;
}

bool MPlug::isConnected(MStatus* status) const {
    MPlugArray a;
    return connectedTo(a, true, true, status);
}

bool MPlug::operator==(const MPlug& other) const { return Bridge::plug(*this) == Bridge::plug(other); }

// --- Attributes and data -------------------------------------------------------------

MFnAttribute::MFnAttribute(MObject& object, MStatus* status) { setStatus(status, setObject(object)); }
MFnAttribute::MFnAttribute(const MObject& object, MStatus* status) { setStatus(status, setObject(object)); }

MString MFnAttribute::name(MStatus* status) const {
    const AttrDef* a = Bridge::attr(fObject);
    setStatus(status, a ? MS::kSuccess : MS::kFailure);
    return a ? MString(a->longName.c_str()) : MString();
}

MString MFnAttribute::shortName(MStatus* status) const {
    const AttrDef* a = Bridge::attr(fObject);
    setStatus(status, a ? MS::kSuccess : MS::kFailure);
    return a ? MString(a->shortName.c_str()) : MString();
}

bool MFnAttribute::isStorable(MStatus* status) const {
    const AttrDef* a = Bridge::attr(fObject);
    setStatus(status, a ? MS::kSuccess : MS::kFailure);
    return a && a->storable;
}

MStatus MFnAttribute::setStorable(bool state) {
    const AttrDef* a = Bridge::attr(fObject);
    if (!a) return MS::kFailure;
    const_cast<AttrDef*>(a)->storable = state;
    return MS::kSuccess;
}

MFnTypedAttribute::MFnTypedAttribute(MObject& object, MStatus* status) { setStatus(status, setObject(object)); }
MFnTypedAttribute::MFnTypedAttribute(const MObject& object, MStatus* status) { setStatus(status, setObject(object)); }

MObject MFnTypedAttribute::create(const MString& fullName, const MString& briefName, MFnData::Type type,
                                  MObject defaultData, MStatus* status) {
    // Only string attributes are needed by the plug-ins this host serves.
    if (type != MFnData::kString || fullName.length() == 0) {
        setStatus(status, MS::kInvalidParameter);
        return MObject();
    }
    AttrDef* a = Scene::get().newAttribute();
    a->longName = fullName.asChar();
    a->shortName = briefName.length() ? briefName.asChar() : fullName.asChar();
    a->kind = AttrKind::String;
    if (!defaultData.isNull() && defaultData.apiType() == MFn::kStringData)
        a->defaultString = *static_cast<const std::string*>(Bridge::data(defaultData));
    fObject = Bridge::attribute(a);
    setStatus(status, MS::kSuccess);
    return fObject;
}

MFnData::Type MFnTypedAttribute::attrType(MStatus* status) const {
    const AttrDef* a = Bridge::attr(fObject);
    setStatus(status, a ? MS::kSuccess : MS::kFailure);
    return a && a->kind == AttrKind::String ? MFnData::kString : MFnData::kInvalid;
}

MFnData::MFnData(MObject& object, MStatus* status) { setStatus(status, setObject(object)); }
MFnData::MFnData(const MObject& object, MStatus* status) { setStatus(status, setObject(object)); }

MFnStringData::MFnStringData(MObject& object, MStatus* status) { setStatus(status, setObject(object)); }
MFnStringData::MFnStringData(const MObject& object, MStatus* status) { setStatus(status, setObject(object)); }

MObject MFnStringData::create(MStatus* status) { return create(MString(), status); }

MObject MFnStringData::create(const MString& value, MStatus* status) {
    fObject = Bridge::data(MFn::kStringData, std::make_shared<std::string>(value.asChar()));
    setStatus(status, MS::kSuccess);
    return fObject;
}

MString MFnStringData::string(MStatus* status) const {
    bool ok = fObject.apiType() == MFn::kStringData;
    setStatus(status, ok ? MS::kSuccess : MS::kFailure);
    return ok ? MString(static_cast<const std::string*>(Bridge::data(fObject))->c_str()) : MString();
}

MStatus MFnStringData::set(const MString& value) {
    if (fObject.apiType() != MFn::kStringData) return MS::kFailure;
    *const_cast<std::string*>(static_cast<const std::string*>(Bridge::data(fObject))) = value.asChar();
    return MS::kSuccess;
}

MNodeClass::MNodeClass(const MString& typeName) : fTypeName(typeName) {}

MString MNodeClass::typeName() const { return fTypeName; }

MStatus MNodeClass::addExtensionAttribute(const MObject& attr) const {
    return Scene::get().addExtension(fTypeName.asChar(), Bridge::attr(attr)) ? MS::kSuccess : MS::kFailure;
}

MStatus MNodeClass::removeExtensionAttribute(const MObject& attr) const {
    return Scene::get().removeExtension(fTypeName.asChar(), Bridge::attr(attr)) ? MS::kSuccess : MS::kFailure;
}
