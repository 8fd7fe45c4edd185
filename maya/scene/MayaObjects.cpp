#include "MayaObjects.h"

#include "MaterialTag.h"
#include "MayaSceneRegistry.h"
#include "SceneCallbacks.h"

#include "link/RecordWriter.h"

#include <maya/MFnDependencyNode.h>
#include <maya/MMatrix.h>
#include <maya/MMessage.h>
#include <maya/MPlug.h>
#include <maya/MTransformationMatrix.h>

using namespace kvt;

namespace {
// Not M_PI: MSVC defines that only with _USE_MATH_DEFINES.
constexpr double kHalfPi = 1.57079632679489661923;
} // namespace

MayaBase::~MayaBase()
{
    for (MCallbackId id : callbacks)
        MMessage::removeCallback(id);
}

MayaShape::~MayaShape() = default; // the list nodes unlink themselves

void MayaShape::watch(MObject& node) { keepCallback(watchShape(node, this)); }

kvt::Optional<std::uint32_t> MayaShape::writeHeader(RecordWriter& writer, RecordKind kind,
                                                    std::uint64_t changedTypeBits)
{
    bool isNew = remoteHandle == 0;
    auto record = writer.appendShape(kind, deleted, identity(), isNew && !deleted);
    if (!record)
        return kvt::none;
    bool visibilityValid = visibilityDirty || (changedTypeBits & std::uint64_t(typeBit()));
    std::uint8_t flags = RecordFlags::hasData | (isNew ? RecordFlags::isNew : 0) |
                         (deleted ? RecordFlags::deleted : 0) | (visibilityValid ? RecordFlags::visibilityValid : 0);
    writer.setFlags(*record, RecordFlags::hasData | RecordFlags::isNew | RecordFlags::deleted |
                                 RecordFlags::visibilityValid, flags);
    if (deleted)
        return kvt::none;
    if (visibilityValid) {
        MObject shapeNode = node.object();
        bool plugVisible = MFnDependencyNode(shapeNode).findPlug("visibility", true).asBool();
        bool typeShown = MayaSceneRegistry::instance().typeMask & std::uint64_t(typeBit());
        writer.setFlags(*record, RecordFlags::visible, plugVisible && typeShown ? RecordFlags::visible : 0);
    }
    visibilityDirty = 0;
    return record;
}

MayaSceneObject::~MayaSceneObject() = default;

void MayaSceneObject::writeRecord(RecordWriter& writer)
{
    bool isNew = remoteHandle == 0;
    TransformForm form = (deleted || !matrixDirty) ? TransformForm::Short
                         : materialsDirty           ? TransformForm::LongWithMaterials
                                                    : TransformForm::Long;
    auto record = writer.appendTransform(form, identity(), isNew && !deleted);
    if (!record) {
        if (deleted)
            delete this;
        return;
    }
    std::uint8_t flags = (isNew ? RecordFlags::isNew : 0) | (deleted ? RecordFlags::deleted : 0) |
                         (visibilityDirty ? RecordFlags::visibilityValid : 0) |
                         (form != TransformForm::Short ? RecordFlags::hasData : 0);
    writer.setFlags(*record, RecordFlags::hasData | RecordFlags::isNew | RecordFlags::deleted |
                                 RecordFlags::visibilityValid, flags);
    if (deleted) {
        delete this;
        return;
    }
    if (visibilityDirty) {
        // The transform and its ancestors decide; the shape's own visibility travels
        // in the shape record.
        MDagPath above(path);
        above.pop();
        writer.setFlags(*record, RecordFlags::visible, above.isVisible() ? RecordFlags::visible : 0);
    }
    if (form != TransformForm::Short) {
        TransformRecord* t = writer.as<TransformRecord>(*record);
        if (isNew) {
            t->shapeRefIsAddress = (shape && shape->remoteHandle == 0) ? 1 : 0;
            t->shapeRef = shape ? shape->identity() : 0;
        }
        MMatrix world = path.inclusiveMatrix();
        if (rotateAsLight) {
            // Maya's lights shine down their -Z axis, Unreal's along +X: a quarter turn
            // about the light's own Y axis.
            MTransformationMatrix turn;
            const double rotation[3] = {0.0, kHalfPi, 0.0};
            turn.setRotation(rotation, MTransformationMatrix::kXYZ);
            world = turn.asMatrix() * world;
        }
        float matrix[16];
        swapMatrixAxes(world.matrix, matrix);
        std::memcpy(t->worldMatrix, matrix, sizeof matrix);
        t->hasMaterials = form == TransformForm::LongWithMaterials ? 1 : 0;
        if (form == TransformForm::LongWithMaterials)
            writer.appendMaterialNames(*record,
                                       materialNames(path, MayaSceneRegistry::instance().materialAttribute));
    }
    matrixDirty = 0;
    visibilityDirty = 0;
    if (form == TransformForm::LongWithMaterials)
        materialsDirty = 0;
}
