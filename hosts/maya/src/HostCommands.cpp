// Commands about the session: files, plug-ins, the model panel, the idle loop,
// preferences, printing.
#include "CommandSupport.h"

#include "Bridge.h"
#include "Host.h"
#include "Messages.h"
#include "ObjImport.h"
#include "SceneFile.h"

#include <maya/MSceneMessage.h>

#include <fstream>
#include <sstream>

namespace mayahost::commands {
namespace {

using mel::Args;
using mel::Error;
using mel::Value;
using mel::registerCommand;

void fileNew() {
    messages::scene(MSceneMessage::kBeforeNew);
    scene().clear();
    host::activeSelection().clear();
    messages::scene(MSceneMessage::kAfterNew);
}

struct Registrar {
    Registrar() {
    registerCommand("print", [](Args& args) {
        for (const auto& word : args.words()) {
            if (word.flag) throw Error{"Invalid flag '-" + word.name + "'"};
            const Value& w = word.value;
            if (w.isArray())
                for (const auto& s : w.asStrings()) mel::print(s + "\n");
            else
                mel::print(w.asString());
        }
        return Value{};
    });
    registerCommand("file", [](Args& args) {
        args.parse("file", {{"f", "force", 0}, {"new", "newFile", 0}, {"o", "open", 0}, {"i", "import", 0},
                            {"type", "type", 1}, {"rename", "rename", 1}, {"q", "query", 0}, {"sn", "sceneName", 0},
                            {"s", "save", 0}});
        auto paths = args.positionalStrings();
        if (args.has("query")) return Value::string(scene().fileName);
        if (args.has("newFile")) {
            fileNew();
            return Value::string("untitled");
        }
        if (args.has("rename")) {
            scene().fileName = args.text("rename");
            return Value::string(scene().fileName);
        }
        if (args.has("save")) {
            if (args.has("type") && args.text("type") != "mayaAscii")
                throw Error{"File type '" + args.text("type") + "' is not supported; use mayaAscii."};
            if (scene().fileName.empty()) throw Error{"The scene has no name: use file -rename first."};
            std::string error;
            if (!scenefile::save(scene().fileName, error)) throw Error{error};
            return Value::string(scene().fileName);
        }
        if (paths.size() != 1) throw Error{"file: one file name expected."};
        if (args.has("import")) {
            std::string error;
            std::vector<Node*> made = importObj(paths[0], error);
            if (!error.empty()) throw Error{error};
            return names(made);
        }
        if (args.has("open")) {
            std::ifstream in(paths[0]);
            if (!in) throw Error{"File not found: " + paths[0]};
            std::stringstream text;
            text << in.rdbuf();
            messages::scene(MSceneMessage::kBeforeOpen);
            scene().clear();
            host::activeSelection().clear();
            mel::run(text.str(), paths[0]);
            scene().fileName = paths[0];
            messages::scene(MSceneMessage::kAfterOpen);
            return Value::string(paths[0]);
        }
        throw Error{"file: no action given."};
    });
    // The header lines of a Maya ASCII file.
    registerCommand("requires", [](Args& args) {
        args.parse("requires", {{"nodeType", "nodeType", 1}, {"dataType", "dataType", 1}});
        return Value{};
    });
    registerCommand("currentUnit", [](Args& args) {
        args.parse("currentUnit", {{"l", "linear", 1}, {"a", "angle", 1}, {"t", "time", 1}});
        if (args.text("linear", "centimeter") != "centimeter" && args.text("linear") != "cm")
            throw Error{"Only centimetres are supported as the linear unit."};
        if (args.text("angle", "degree") != "degree" && args.text("angle") != "deg")
            throw Error{"Only degrees are supported as the angular unit."};
        return Value{};
    });
    registerCommand("modelEditor", [](Args& args) {
        args.parse("modelEditor", {{"e", "edit", 0}, {"q", "query", 0}, {"pm", "polymeshes", 1},
                                   {"ns", "nurbsSurfaces", 1}, {"nc", "nurbsCurves", 1}, {"lt", "lights", 1},
                                   {"ca", "cameras", 1}, {"alo", "allObjects", 1}, {"rom", "rendererOverrideName", 1}});
        auto pos = args.positionalStrings();
        host::Viewport& v = host::viewport();
        if (pos.size() != 1 || pos[0] != v.panel) throw Error{"Object '" + (pos.empty() ? "" : pos[0]) + "' not found."};
        if (args.has("query")) {
            if (args.has("rendererOverrideName")) return Value::string(v.rendererOverride);
            throw Error{"modelEditor: query not supported for this flag."};
        }
        auto show = [&](const char* flag, std::uint64_t bits) {
            if (!args.has(flag)) return;
            if (args.number(flag, 1) != 0) v.exclusions &= ~bits;
            else v.exclusions |= bits;
        };
        show("allObjects", host::kExcludeNurbsCurves | host::kExcludeNurbsSurfaces | host::kExcludeMeshes |
                               host::kExcludePlanes | host::kExcludeLights | host::kExcludeCameras);
        show("polymeshes", host::kExcludeMeshes);
        show("nurbsSurfaces", host::kExcludeNurbsSurfaces);
        show("nurbsCurves", host::kExcludeNurbsCurves);
        show("lights", host::kExcludeLights);
        show("cameras", host::kExcludeCameras);
        if (args.has("rendererOverrideName")) v.rendererOverride = args.text("rendererOverrideName");
        return Value::string(v.panel);
    });
    registerCommand("lookThru", [](Args& args) {
        args.parse("lookThru", {});
        auto pos = args.positionalStrings();
        if (pos.empty() || pos.size() > 2) throw Error{"lookThru: a camera expected."};
        host::Viewport& v = host::viewport();
        if (pos.size() == 2 && pos[0] != v.panel) throw Error{"Object '" + pos[0] + "' not found."};
        Node* camera = resolveOrFail(pos.back()).node;
        if (camera->hasFn(MFn::kTransform))
            for (Node* c : camera->children)
                if (c->hasFn(MFn::kCamera)) camera = c;
        if (!camera->hasFn(MFn::kCamera)) throw Error{"'" + pos.back() + "' is not a camera."};
        v.camera = camera->parents.empty() ? camera->name : camera->parents.front()->name;
        return Value{};
    });
    registerCommand("loadPlugin", [](Args& args) {
        args.parse("loadPlugin", {{"qt", "quiet", 0}});
        auto pos = args.positionalStrings();
        if (pos.size() != 1) throw Error{"loadPlugin: one plug-in path expected."};
        std::string error;
        if (!host::loadPlugin(pos[0], error)) throw Error{error};
        return Value::strings({pos[0].substr(pos[0].find_last_of('/') + 1)});
    });
    registerCommand("unloadPlugin", [](Args& args) {
        args.parse("unloadPlugin", {{"f", "force", 0}});
        auto pos = args.positionalStrings();
        if (pos.size() != 1) throw Error{"unloadPlugin: one plug-in name expected."};
        std::string error;
        if (!host::unloadPlugin(pos[0], error)) throw Error{error};
        return Value{};
    });
    registerCommand("refresh", [](Args& args) {
        args.parse("refresh", {{"f", "force", 0}, {"cv", "currentView", 0}});
        ++host::viewport().redrawRequests;
        return Value{};
    });
    registerCommand("pause", [](Args& args) {
        args.parse("pause", {{"sec", "seconds", 1}});
        double seconds = args.number("seconds", -1);
        if (seconds < 0) throw Error{"pause: -seconds expected."};
        host::idle(seconds);
        return Value{};
    });
    registerCommand("currentTime", [](Args& args) {
        args.parse("currentTime", {{"q", "query", 0}, {"e", "edit", 0}, {"u", "update", 1}});
        auto& prefs = host::preferences();
        if (!args.has("query")) {
            if (args.positional().size() != 1) throw Error{"currentTime: one time expected."};
            prefs.currentTime = args.positional()[0].asNumber();
        }
        return Value::real(prefs.currentTime);
    });
    registerCommand("colorManagementPrefs", [](Args& args) {
        args.parse("colorManagementPrefs", {{"e", "edit", 0}, {"q", "query", 0}, {"poe", "popupOnError", 1},
                                            {"cme", "cmEnabled", 1}});
        auto& prefs = host::preferences();
        if (args.has("query")) return Value::integer(prefs.colorManagement);
        if (args.has("cmEnabled")) prefs.colorManagement = args.number("cmEnabled", 1) != 0;
        return Value{};
    });
    }
} registrar;

} // namespace
} // namespace mayahost::commands
