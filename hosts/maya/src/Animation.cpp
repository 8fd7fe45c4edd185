// setKeyframe, playbackOptions, play and the evaluation of animation curves at a time.
#include "Animation.h"

#include "CommandSupport.h"
#include "Host.h"
#include "Messages.h"
#include "Viewport.h"

#include <iterator>

namespace mayahost::animation {
namespace {

using commands::kDegrees;
using commands::resolveOrFail;
using commands::scene;
using mel::Args;
using mel::Error;
using mel::Value;
using mel::registerCommand;

bool isCurve(const Node* node) { return node->cls->name.rfind("animCurve", 0) == 0; }

// Linear between keys, constant before the first and after the last.
double curveValue(const std::map<double, double>& keys, double time) {
    if (keys.empty()) return 0;
    auto after = keys.lower_bound(time);
    if (after == keys.begin()) return after->second;
    if (after == keys.end()) return std::prev(after)->second;
    if (after->first == time) return after->second;
    auto before = std::prev(after);
    double f = (time - before->first) / (after->first - before->first);
    return before->second + f * (after->second - before->second);
}

struct Playback {
    double min = 1, max = 120;
};
Playback& playback() {
    static Playback p;
    return p;
}

// The curve driving a plug, made and connected when there is none.
Node* curveFor(const Plug& plug) {
    for (const Plug& source : scene().sources(plug))
        if (isCurve(source.node)) return source.node;
    const char* type = plug.attr->kind == AttrKind::Angle ? "animCurveTA"
                       : (plug.attr->shortName == "tx" || plug.attr->shortName == "ty" || plug.attr->shortName == "tz")
                           ? "animCurveTL"
                           : "animCurveTU";
    Node* curve = scene().createNode(type, plug.node->name + "_" + plug.attr->longName, nullptr);
    const AttrDef* output = scene().findAttr(curve, "output");
    scene().connect(Plug{curve, output}, plug);
    return curve;
}

struct Registrar {
    Registrar() {
        // Keys one attribute of one object; linear tangents only (Maya's default tangents
        // are auto: key with -itt linear -ott linear for the same curve in Maya).
        registerCommand("setKeyframe", [](Args& args) {
            args.parse("setKeyframe", {{"at", "attribute", 1}, {"t", "time", 1}, {"v", "value", 1},
                                       {"itt", "inTangentType", 1}, {"ott", "outTangentType", 1}});
            for (const char* tangent : {"inTangentType", "outTangentType"})
                if (args.has(tangent) && args.text(tangent) != "linear")
                    throw Error{"setKeyframe: only linear tangents are supported."};
            auto names = args.positionalStrings();
            if (names.size() != 1) throw Error{"setKeyframe: one object expected."};
            if (!args.has("attribute")) throw Error{"setKeyframe: -attribute expected."};
            Node* node = resolveOrFail(names[0]).node;
            const AttrDef* attr = scene().findAttr(node, args.text("attribute"));
            if (!attr || !attr->children.empty() || (attr->kind != AttrKind::Double && attr->kind != AttrKind::Angle))
                throw Error{"setKeyframe: '" + names[0] + "." + args.text("attribute") + "' is not a keyable number."};
            const double unit = attr->kind == AttrKind::Angle ? kDegrees : 1;
            const double time = args.number("time", host::preferences().currentTime);
            const double value =
                args.has("value") ? args.number("value", 0) / unit : scene().number(node, attr);
            Node* curve = curveFor(Plug{node, attr});
            curve->keys[time] = value;
            scene().setNumber(node, attr, curveValue(curve->keys, host::preferences().currentTime));
            return Value::integer(1);
        });
        registerCommand("playbackOptions", [](Args& args) {
            bool query = false;
            for (const auto& w : args.words()) query |= w.flag && (w.name == "q" || w.name == "query");
            int n = query ? 0 : 1;
            args.parse("playbackOptions", {{"q", "query", 0}, {"e", "edit", 0}, {"min", "minTime", n},
                                           {"max", "maxTime", n}});
            Playback& p = playback();
            if (query) {
                if (args.has("minTime")) return Value::real(p.min);
                if (args.has("maxTime")) return Value::real(p.max);
                throw Error{"playbackOptions: query not supported for this flag."};
            }
            double min = args.number("minTime", p.min), max = args.number("maxTime", p.max);
            if (max < min) throw Error{"playbackOptions: the end comes before the start."};
            p.min = min;
            p.max = max;
            return Value{};
        });
        // Plays the range once, every frame drawn, and returns when it is through (-wait).
        registerCommand("play", [](Args& args) {
            args.parse("play", {{"w", "wait", 0}, {"f", "forward", 1}});
            if (!args.has("wait")) throw Error{"play: only -wait is supported (the stand-in plays synchronously)."};
            if (args.has("forward") && args.number("forward", 1) == 0)
                throw Error{"play: only forward playback is supported."};
            const Playback& p = playback();
            for (double frame = p.min; frame <= p.max; frame += 1) {
                setTime(frame);
                std::string error;
                if (!vp2::drawFrame(error)) throw Error{"play: " + error};
                host::idleStep(); // what the frame left for idle runs before the next
            }
            return Value{};
        });
    }
} registrar;

} // namespace

void evaluate() {
    const double time = host::preferences().currentTime;
    for (const auto& [source, destination] : scene().connections())
        if (isCurve(source.node) && destination.node->alive)
            destination.node->numbers[destination.attr] = curveValue(source.node->keys, time);
}

void setTime(double frame) {
    host::preferences().currentTime = frame;
    evaluate();
    messages::event("timeChanged");
    vp2::requestRedraw();
}

} // namespace mayahost::animation
