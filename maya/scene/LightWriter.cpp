// Light records: colour and intensity, and a spot light's cone. Where a light sits and
// where it points travels in its instances' transform records.

#include "MayaObjects.h"

#include "link/RecordWriter.h"

#include <maya/MColor.h>
#include <maya/MFnAmbientLight.h>
#include <maya/MFnDirectionalLight.h>
#include <maya/MFnPointLight.h>
#include <maya/MFnSpotLight.h>

#include <algorithm>
#include <cstring>

using namespace kvt;

namespace {

// Radians of Maya's full cone angle to degrees of a half angle. The factor is 90 / 3.1415,
// not 90 / pi, which the Unreal side's cone angles were tuned against.
constexpr double kConeFactor = 28.648734680884925;

// Only a spot light has a cone; the other kinds' records end after the intensity.
void writeCone(const MFnLight&, RecordWriter&, std::uint32_t) {}

void writeCone(const MFnSpotLight& light, RecordWriter& writer, std::uint32_t record)
{
    double a = light.coneAngle() * kConeFactor;
    double b = (light.coneAngle() + light.penumbraAngle()) * kConeFactor;
    SpotLightRecord* spot = writer.as<SpotLightRecord>(record);
    spot->innerConeAngle = static_cast<float>(std::min(a, b));
    spot->outerConeAngle = static_cast<float>(std::max(a, b));
}

template <class FunctionSet> void writeBody(MayaShape& shape, RecordWriter& writer, std::uint32_t record)
{
    MStatus status;
    MObject node = shape.node.object();
    FunctionSet light(node, &status);
    if (!status)
        return; // the body stays unwritten
    LightRecord* body = writer.as<LightRecord>(record);
    MColor colour = light.color();
    const float rgba[4] = {colour.r, colour.g, colour.b, colour.a};
    std::memcpy(body->color, rgba, sizeof rgba);
    body->intensity = light.intensity() * 100.0f;
    writeCone(light, writer, record);
}

template <class FunctionSet>
void writeLight(MayaShape* shape, RecordWriter& writer, RecordKind kind, std::uint64_t changedTypeBits)
{
    auto record = shape->writeHeader(writer, kind, changedTypeBits);
    if (shape->deleted) {
        delete shape;
        return;
    }
    if (record)
        writeBody<FunctionSet>(*shape, writer, *record);
}

} // namespace

void MayaAmbientLight::writeRecord(RecordWriter& writer, std::uint64_t changed)
{
    writeLight<MFnAmbientLight>(this, writer, RecordKind::AmbientLight, changed);
}

void MayaDirectionalLight::writeRecord(RecordWriter& writer, std::uint64_t changed)
{
    writeLight<MFnDirectionalLight>(this, writer, RecordKind::DirectionalLight, changed);
}

void MayaPointLight::writeRecord(RecordWriter& writer, std::uint64_t changed)
{
    writeLight<MFnPointLight>(this, writer, RecordKind::PointLight, changed);
}

void MayaSpotLight::writeRecord(RecordWriter& writer, std::uint64_t changed)
{
    writeLight<MFnSpotLight>(this, writer, RecordKind::SpotLight, changed);
}
