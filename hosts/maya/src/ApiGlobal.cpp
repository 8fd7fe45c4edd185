// MGlobal: MEL execution and the active selection.
#include "Bridge.h"
#include "Host.h"
#include "Mel.h"
#include "Viewport.h"

#include <maya/MGlobal.h>

using namespace mayahost;

static MStatus runCommand(const MString& command, mel::Value& result) {
    int errors = 0;
    result = mel::run(command.asChar(), "", &errors);
    return errors ? MS::kFailure : MS::kSuccess;
}

MCommandResult::MCommandResult(MStatus* status) {
    if (status) *status = MS::kSuccess;
}

MCommandResult::Type MCommandResult::resultType(MStatus* status) const {
    if (status) *status = MS::kSuccess;
    return fType;
}

MStatus MCommandResult::getResult(int& result) const {
    if (fType != kInt && fType != kDouble) return MS::kInvalidParameter;
    result = static_cast<int>(fNumber);
    return MS::kSuccess;
}

MStatus MCommandResult::getResult(double& result) const {
    if (fType != kInt && fType != kDouble) return MS::kInvalidParameter;
    result = fNumber;
    return MS::kSuccess;
}

MStatus MCommandResult::getResult(MString& result) const {
    if (fType != kString) return MS::kInvalidParameter;
    result = fString;
    return MS::kSuccess;
}

MStatus MCommandResult::getResult(MStringArray& result) const {
    if (fType != kStringArray) return MS::kInvalidParameter;
    result = fStrings;
    return MS::kSuccess;
}

void Bridge::fillResult(MCommandResult& r, const mel::Value& v) {
    r.fStrings.clear();
    r.fNumbers.clear();
    switch (v.type) {
    case mel::Value::Int: r.fType = MCommandResult::kInt; r.fNumber = v.number; break;
    case mel::Value::Float: r.fType = MCommandResult::kDouble; r.fNumber = v.number; break;
    case mel::Value::String:
        r.fType = v.text.empty() ? MCommandResult::kInvalid : MCommandResult::kString;
        r.fString = v.text.c_str();
        break;
    case mel::Value::StringArray:
        r.fType = MCommandResult::kStringArray;
        for (const auto& s : v.texts) r.fStrings.append(MString(s.c_str()));
        break;
    default:
        r.fType = v.type == mel::Value::IntArray ? MCommandResult::kIntArray : MCommandResult::kDoubleArray;
        r.fNumbers = v.numbers;
        break;
    }
}

MStatus MGlobal::executeCommand(const MString& command, bool, bool) {
    mel::Value v;
    return runCommand(command, v);
}

MStatus MGlobal::executeCommand(const MString& command, MCommandResult& result, bool, bool) {
    mel::Value v;
    MStatus s = runCommand(command, v);
    Bridge::fillResult(result, v);
    return s;
}

MStatus MGlobal::executeCommand(const MString& command, MString& result, bool, bool) {
    mel::Value v;
    MStatus s = runCommand(command, v);
    result = v.type == mel::Value::StringArray && !v.texts.empty() ? MString(v.texts.front().c_str())
                                                                  : MString(v.asString().c_str());
    return s;
}

MStatus MGlobal::executeCommand(const MString& command, MStringArray& result, bool, bool) {
    mel::Value v;
    MStatus s = runCommand(command, v);
    result.clear();
    for (const auto& t : v.asStrings()) result.append(MString(t.c_str()));
    return s;
}

MStatus MGlobal::executeCommand(const MString& command, int& result, bool, bool) {
    mel::Value v;
    MStatus s = runCommand(command, v);
    result = static_cast<int>(v.asNumber());
    return s;
}

MStatus MGlobal::executeCommandOnIdle(const MString& command, bool) {
    host::queueIdleCommand(command.asChar());
    return MS::kSuccess;
}

MStatus MGlobal::getActiveSelectionList(MSelectionList& dest, bool) {
    dest = host::activeSelection();
    // Nodes deleted since they were selected are no longer part of the selection.
    std::erase_if(Bridge::items(dest), [](const auto& i) { return !Bridge::liveNode(i.node); });
    return MS::kSuccess;
}

MStatus MGlobal::setActiveSelectionList(const MSelectionList& src, ListAdjustment mode) {
    vp2::sceneEdited("active selection changed");
    MSelectionList& sel = host::activeSelection();
    auto& items = Bridge::items(sel);
    const auto& incoming = Bridge::items(src);
    auto same = [](const auto& a, const auto& b) { return a.node == b.node && a.path == b.path && a.component == b.component; };
    switch (mode) {
    case kReplaceList: items = incoming; break;
    case kAddToList: for (const auto& i : incoming) items.push_back(i); break;
    case kAddToHeadOfList: items.insert(items.begin(), incoming.begin(), incoming.end()); break;
    case kRemoveFromList:
        for (const auto& i : incoming) std::erase_if(items, [&](const auto& x) { return same(x, i); });
        break;
    case kXORWithList:
        for (const auto& i : incoming) {
            auto before = items.size();
            std::erase_if(items, [&](const auto& x) { return same(x, i); });
            if (items.size() == before) items.push_back(i);
        }
        break;
    }
    return MS::kSuccess;
}

MGlobal::MMayaState MGlobal::mayaState(MStatus* status) {
    if (status) *status = MS::kSuccess;
    return host::preferences().batch ? kBatch : kInteractive;
}

void MGlobal::displayInfo(const MString& text) { mel::print(std::string(text.asChar()) + "\n"); }
void MGlobal::displayWarning(const MString& text) { mel::print("// Warning: " + std::string(text.asChar()) + " //\n"); }
void MGlobal::displayError(const MString& text) { mel::printError(text.asChar()); }
