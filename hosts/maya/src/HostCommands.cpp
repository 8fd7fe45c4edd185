// Commands about the session: files, plug-ins, the model panel, the idle loop,
// preferences, printing.
#include "CommandSupport.h"

#include "Animation.h"
#include "Bridge.h"
#include "Camera.h"
#include "Host.h"
#include "Messages.h"
#include "ObjImport.h"
#include "SceneFile.h"
#include "Viewport.h"

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
        bool query = false;
        for (const auto& w : args.words()) query |= w.flag && (w.name == "q" || w.name == "query");
        int n = query ? 0 : 1; // in query mode the flags take no values
        args.parse("modelEditor", {{"e", "edit", 0}, {"q", "query", 0}, {"pm", "polymeshes", n},
                                   {"ns", "nurbsSurfaces", n}, {"nc", "nurbsCurves", n}, {"lt", "lights", n},
                                   {"ca", "cameras", n}, {"alo", "allObjects", n}, {"gr", "grid", n},
                                   {"m", "manipulators", n}, {"cam", "camera", n},
                                   {"rom", "rendererOverrideName", n}});
        auto pos = args.positionalStrings();
        host::Viewport& v = host::viewport();
        if (pos.size() != 1 || pos[0] != v.panel) throw Error{"Object '" + (pos.empty() ? "" : pos[0]) + "' not found."};
        struct Show {
            const char* flag;
            std::uint64_t bits;
        };
        // allObjects leaves the grid and the manipulators alone, as in Maya.
        const Show shows[] = {{"allObjects", host::kExcludeNurbsCurves | host::kExcludeNurbsSurfaces |
                                                 host::kExcludeMeshes | host::kExcludePlanes | host::kExcludeLights |
                                                 host::kExcludeCameras},
                              {"polymeshes", host::kExcludeMeshes},
                              {"nurbsSurfaces", host::kExcludeNurbsSurfaces},
                              {"nurbsCurves", host::kExcludeNurbsCurves},
                              {"lights", host::kExcludeLights},
                              {"cameras", host::kExcludeCameras},
                              {"grid", host::kExcludeGrid},
                              {"manipulators", host::kExcludeManipulators}};
        if (query) {
            if (args.has("rendererOverrideName")) return Value::string(v.rendererOverride);
            if (args.has("camera")) return Value::string(v.camera);
            for (const Show& show : shows)
                if (args.has(show.flag)) return Value::integer((v.exclusions & show.bits) != show.bits);
            throw Error{"modelEditor: query not supported for this flag."};
        }
        for (const Show& show : shows) {
            if (!args.has(show.flag)) continue;
            if (args.number(show.flag, 1) != 0) v.exclusions &= ~show.bits;
            else v.exclusions |= show.bits;
        }
        if (args.has("camera")) {
            std::string camera = args.text("camera");
            Node* shape = camera::shapeOf(camera);
            if (!shape) throw Error{"'" + camera + "' is not a camera."};
            v.camera = shape->parents.empty() ? shape->name : shape->parents.front()->name;
        }
        if (args.has("rendererOverrideName")) v.rendererOverride = args.text("rendererOverrideName");
        return Value::string(v.panel);
    });
    // The panel's size in pixels, as its control is sized.
    registerCommand("control", [](Args& args) {
        bool query = false;
        for (const auto& w : args.words()) query |= w.flag && (w.name == "q" || w.name == "query");
        int n = query ? 0 : 1;
        args.parse("control", {{"e", "edit", 0}, {"q", "query", 0}, {"ex", "exists", 0}, {"w", "width", n},
                               {"h", "height", n}});
        auto pos = args.positionalStrings();
        host::Viewport& v = host::viewport();
        if (pos.size() != 1) throw Error{"control: one control name expected."};
        if (args.has("exists")) return Value::integer(pos[0] == v.panel);
        if (pos[0] != v.panel) throw Error{"Object '" + pos[0] + "' not found."};
        if (query) {
            if (args.has("width")) return Value::integer(v.width);
            if (args.has("height")) return Value::integer(v.height);
            throw Error{"control: query not supported for this flag."};
        }
        double w = args.number("width", v.width), h = args.number("height", v.height);
        if (w < 1 || h < 1 || w > 16384 || h > 16384) throw Error{"control: the size must be 1 to 16384 pixels."};
        v.width = static_cast<int>(w);
        v.height = static_cast<int>(h);
        return Value{};
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
    // Draws the panel now; with -fn, writes the presented picture to an image file.
    registerCommand("refresh", [](Args& args) {
        args.parse("refresh", {{"f", "force", 0}, {"cv", "currentView", 0}, {"fe", "fileExtension", 1},
                               {"fn", "filename", 1}});
        ++host::viewport().redrawRequests;
        std::string extension = args.text("fileExtension", "png");
        if (args.has("fileExtension") && extension != "png")
            throw Error{"refresh: image format '" + extension + "' is not supported; use png."};
        std::string error;
        if (!vp2::drawFrame(error)) throw Error{"refresh: " + error};
        if (args.has("filename") && !vp2::writePicture(args.text("filename"), error)) throw Error{"refresh: " + error};
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
            animation::setTime(args.positional()[0].asNumber());
        }
        return Value::real(prefs.currentTime);
    });
    registerCommand("colorManagementPrefs", [](Args& args) {
        args.parse("colorManagementPrefs", {{"e", "edit", 0}, {"q", "query", 0}, {"poe", "popupOnError", 1},
                                            {"cme", "cmEnabled", 1}});
        auto& prefs = host::preferences();
        if (args.has("query")) return Value::integer(prefs.colorManagement);
        vp2::sceneEdited("colour management preferences edited");
        if (args.has("cmEnabled")) prefs.colorManagement = args.number("cmEnabled", 1) != 0;
        return Value{};
    });
    }
} registrar;

} // namespace
} // namespace mayahost::commands
