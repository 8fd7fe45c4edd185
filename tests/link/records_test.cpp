// Object records: written through the writer, read back through the validating reader,
// and malformed chains refused with the offending offset.

#include "link/Headers.h"
#include "link/RecordReader.h"
#include "link/RecordWriter.h"
#include "link/RelLink.h"

#include "ChildProcess.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

using namespace kvt;

namespace {

class Records : public ::testing::Test {
protected:
    std::string name = testsupport::uniqueName("KVTRecords");
    SharedRegion region;

    void SetUp() override
    {
        ASSERT_TRUE(region.open(name.c_str(), kRegionMaximum, 1u << 16));
        // What an earlier frame left behind: fields the format does not write keep it.
        std::memset(region.view, 0xCD, region.mappedSize);
        region.extend(sizeof(RequestHeader));
        header()->firstRecord = 0;
    }

    RequestHeader* header() { return reinterpret_cast<RequestHeader*>(region.view); }
    RequestRecords read() { return readRecords(region.bytes()); }

    // A new mesh of one triangle, as the Maya side would write it.
    std::uint32_t writeTriangle(RecordWriter& w, std::uint64_t identity)
    {
        std::uint32_t rec = *w.appendShape(RecordKind::Mesh, false, identity, true);
        w.setFlags(rec, RecordFlags::isNew | RecordFlags::deleted | RecordFlags::hasData | RecordFlags::visibilityValid |
                            RecordFlags::visible,
                   RecordFlags::isNew | RecordFlags::hasData | RecordFlags::visibilityValid | RecordFlags::visible);
        MeshRecord* m = w.as<MeshRecord>(rec);
        m->sectionCount = 1;
        m->vertexCount = 3;
        m->indexCount = 3;
        const float lo[3] = {0, 0, 0}, hi[3] = {1, 0, 1};
        std::memcpy(m->boundsMin, lo, sizeof lo);
        std::memcpy(m->boundsMax, hi, sizeof hi);
        std::uint32_t v = *w.appendArray(rec + offsetof(MeshRecord, vertices), 3 * sizeof(FKvtMeshVertex));
        for (int i = 0; i < 3; ++i) {
            FKvtMeshVertex vertex{};
            vertex.position[0] = float(i == 1);
            vertex.position[2] = float(i == 2);
            vertex.texCoord[0] = 0.5f;
            vertex.texCoord[1] = 0.25f;
            vertex.normal[1] = 255;
            vertex.colour[0] = std::uint8_t(10 * i);
            vertex.colour[3] = 255;
            std::memcpy(w.at(v) + i * sizeof vertex, &vertex, sizeof vertex);
        }
        std::uint32_t idx = *w.appendArray(rec + offsetof(MeshRecord, indices), 12);
        const std::uint32_t indices[3] = {0, 1, 2};
        std::memcpy(w.at(idx), indices, sizeof indices);
        std::uint32_t sec = *w.appendArray(rec + offsetof(MeshRecord, sections), sizeof(FKvtMeshSection));
        const FKvtMeshSection section{0, 1};
        std::memcpy(w.at(sec), &section, sizeof section);
        return rec;
    }
};

TEST_F(Records, RequestWithoutChangesIsTheHeaderAlone)
{
    RecordWriter w(region);
    EXPECT_EQ(region.used, sizeof(RequestHeader));
    EXPECT_EQ(header()->firstRecord, 0);
    EXPECT_EQ(header()->newCount, 0u);
    auto read = this->read();
    ASSERT_TRUE(read.ok()) << read.error->message;
    EXPECT_TRUE(read.records.empty());
}

TEST_F(Records, EveryKindRoundTripsFieldByField)
{
    RecordWriter w(region);
    std::uint32_t mesh = writeTriangle(w, 0x7000'0000'1000);

    std::uint32_t t = *w.appendTransform(TransformForm::LongWithMaterials, 0x7000'0000'2000, true);
    w.setFlags(t, RecordFlags::isNew | RecordFlags::deleted | RecordFlags::hasData | RecordFlags::visibilityValid |
                      RecordFlags::visible,
               RecordFlags::isNew | RecordFlags::hasData | RecordFlags::visibilityValid);
    TransformRecord* tr = w.as<TransformRecord>(t);
    tr->shapeRefIsAddress = 1;
    tr->shapeRef = 0x7000'0000'1000;
    tr->hasMaterials = 1;
    for (int k = 0; k < 16; ++k)
        tr->worldMatrix[k] = float(k) * 0.5f;
    ASSERT_TRUE(w.appendMaterialNames(t, {u"/Game/M_Red", kvt::none, u""}));

    std::uint32_t visOnly = *w.appendTransform(TransformForm::Short, 0xAB, false);
    w.setFlags(visOnly, 0xF8, RecordFlags::visibilityValid);

    std::uint32_t moved = *w.appendTransform(TransformForm::Long, 0xAC, false);
    w.setFlags(moved, 0xF8, RecordFlags::hasData);
    w.as<TransformRecord>(moved)->hasMaterials = 0;

    std::uint32_t amb = *w.appendShape(RecordKind::AmbientLight, false, 0xA1, false);
    w.setFlags(amb, 0xF8, RecordFlags::hasData);
    const float colour[4] = {1, 0.5f, 0.25f, 1};
    std::memcpy(w.as<LightRecord>(amb)->color, colour, sizeof colour);
    w.as<LightRecord>(amb)->intensity = 150;
    for (RecordKind k : {RecordKind::DirectionalLight, RecordKind::PointLight}) {
        std::uint32_t l = *w.appendShape(k, false, 0xA2 + int(k), false);
        w.setFlags(l, 0xF8, RecordFlags::hasData);
        w.as<LightRecord>(l)->intensity = 100;
    }
    std::uint32_t spot = *w.appendShape(RecordKind::SpotLight, false, 0xA9, false);
    w.setFlags(spot, 0xF8, RecordFlags::hasData);
    w.as<SpotLightRecord>(spot)->innerConeAngle = 20;
    w.as<SpotLightRecord>(spot)->outerConeAngle = 25;

    std::uint32_t goneT = *w.appendTransform(TransformForm::Short, 0xB1, false);
    w.setFlags(goneT, 0xF8, RecordFlags::deleted | RecordFlags::hasData);
    std::uint32_t goneS = *w.appendShape(RecordKind::Mesh, true, 0xB2, false);
    w.setFlags(goneS, 0xF8, RecordFlags::deleted | RecordFlags::hasData);
    EXPECT_EQ(w.newCount(), 2u);

    auto read = this->read();
    ASSERT_TRUE(read.ok()) << read.error->message << " at " << read.error->offset;
    ASSERT_EQ(read.records.size(), 10u);
    const Record& m = read.records[0];
    EXPECT_EQ(m.offset, mesh);
    EXPECT_EQ(m.size, 64u);
    EXPECT_EQ(m.kind, RecordKind::Mesh);
    EXPECT_TRUE(m.isNew() && m.hasData() && m.visibilityValid() && m.visible());
    EXPECT_EQ(m.identity, 0x7000'0000'1000u);
    EXPECT_EQ(+m.mesh.vertexCount, 3);
    EXPECT_EQ(+m.vertex(1).position[0], 1.0f);
    EXPECT_EQ(+m.vertex(2).position[2], 1.0f);
    EXPECT_EQ(+m.vertex(2).colour[0], 20);
    EXPECT_EQ(m.index(2), 2u);
    EXPECT_EQ(+m.section(0).triangleCount, 1);
    EXPECT_EQ(+m.mesh.boundsMax[2], 1.0f);

    const Record& tx = read.records[1];
    EXPECT_EQ(tx.kind, RecordKind::Transform);
    EXPECT_EQ(tx.size, 112u);
    EXPECT_TRUE(tx.visibilityValid());
    EXPECT_FALSE(tx.visible());
    EXPECT_EQ(+tx.transform.shapeRefIsAddress, 1);
    EXPECT_EQ(+tx.transform.shapeRef, m.identity);
    EXPECT_EQ(+tx.transform.worldMatrix[15], 7.5f);
    ASSERT_EQ(tx.materials.size(), 3u);
    EXPECT_EQ(tx.materials[0], kvt::Optional<std::u16string>(u"/Game/M_Red"));
    EXPECT_FALSE(tx.materials[1]);
    EXPECT_EQ(tx.materials[2], kvt::Optional<std::u16string>(u""));

    EXPECT_EQ(read.records[2].size, 16u);
    EXPECT_FALSE(read.records[2].hasData());
    EXPECT_TRUE(read.records[2].visibilityValid());
    EXPECT_EQ(read.records[3].size, 104u);
    EXPECT_TRUE(read.records[3].materials.empty());
    EXPECT_EQ(+read.records[3].transform.shapeRef, 0u); // zeroed for records that are not new

    EXPECT_EQ(read.records[4].kind, RecordKind::AmbientLight);
    EXPECT_EQ(+read.records[4].light.color[2], 0.25f);
    EXPECT_EQ(+read.records[4].light.intensity, 150.0f);
    EXPECT_EQ(read.records[5].kind, RecordKind::DirectionalLight);
    EXPECT_EQ(read.records[6].kind, RecordKind::PointLight);
    EXPECT_EQ(read.records[6].size, 40u);
    EXPECT_EQ(read.records[7].kind, RecordKind::SpotLight);
    EXPECT_EQ(read.records[7].size, 48u);
    EXPECT_EQ(+read.records[7].spot.outerConeAngle, 25.0f);
    EXPECT_TRUE(read.records[8].deleted());
    EXPECT_TRUE(read.records[9].deleted());
    EXPECT_EQ(read.records[9].identity, 0xB2u);
    EXPECT_EQ(read.records[9].size, 16u);
}

std::string hexDump(const std::uint8_t* p, std::size_t n)
{
    std::string out;
    char byte[4];
    for (std::size_t i = 0; i < n; ++i) {
        std::snprintf(byte, sizeof byte, "%02x", p[i]);
        out += byte;
        out += (i % 16 == 15) ? "\n" : " ";
    }
    return out;
}

// A live shape whose visibility alone changed comes as the 16-byte header with its kind.
TEST_F(Records, ShortShapeRecordsCarryTheirFlagsAlone)
{
    RecordWriter w(region);
    std::uint32_t mesh = *w.appendTransform(TransformForm::Short, 0x1111, false);
    w.setFlags(mesh, 0xFF, RecordFlags::visibilityValid | std::uint8_t(RecordKind::Mesh));
    std::uint32_t light = *w.appendTransform(TransformForm::Short, 0x2222, false);
    w.setFlags(light, 0xFF, RecordFlags::visibilityValid | RecordFlags::visible | std::uint8_t(RecordKind::PointLight));
    std::uint32_t after = writeTriangle(w, 0x3333);
    EXPECT_EQ(light, mesh + kShortRecordSize);

    auto read = this->read();
    ASSERT_TRUE(read.ok()) << read.error->message;
    ASSERT_EQ(read.records.size(), 3u);
    EXPECT_EQ(read.records[0].kind, RecordKind::Mesh);
    EXPECT_EQ(read.records[0].size, kShortRecordSize);
    EXPECT_FALSE(read.records[0].hasData());
    EXPECT_TRUE(read.records[0].visibilityValid());
    EXPECT_FALSE(read.records[0].visible());
    EXPECT_EQ(read.records[0].vertices, nullptr);
    EXPECT_EQ(read.records[1].kind, RecordKind::PointLight);
    EXPECT_EQ(read.records[1].identity, 0x2222u);
    EXPECT_TRUE(read.records[1].visible());
    EXPECT_EQ(read.records[2].offset, after);
    EXPECT_TRUE(read.records[2].hasData());
}

TEST_F(Records, SmallRequestMatchesTheGoldenBytes)
{
    // A new point light and its new instance, a visibility change and a deletion, with
    // the bytes of earlier frames (0xcd) left where the format writes nothing.
    header()->newCount = 0xCDCDCDCD;
    RecordWriter w(region);
    std::uint32_t light = *w.appendShape(RecordKind::PointLight, false, 0x1122334455667788, true);
    w.setFlags(light, 0xF8, RecordFlags::isNew | RecordFlags::hasData);
    const float rgba[4] = {1.0f, 0.5f, 0.0f, 1.0f};
    std::memcpy(w.as<LightRecord>(light)->color, rgba, sizeof rgba);
    w.as<LightRecord>(light)->intensity = 100.0f;

    std::uint32_t inst = *w.appendTransform(TransformForm::Long, 0x0000000000ABCDEF, true);
    w.setFlags(inst, 0xF8, RecordFlags::isNew | RecordFlags::hasData | RecordFlags::visibilityValid |
                               RecordFlags::visible);
    TransformRecord* t = w.as<TransformRecord>(inst);
    t->shapeRefIsAddress = 1;
    const double maya[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {10, 20, 30, 1}};
    swapMatrixAxes(maya, t->worldMatrix);
    t->shapeRef = 0x1122334455667788;
    t->hasMaterials = 0;

    std::uint32_t gone = *w.appendTransform(TransformForm::Short, 0x42, false);
    w.setFlags(gone, 0xF8, RecordFlags::deleted | RecordFlags::hasData);

    const char* golden =
        // header: counter etc. untouched (cd), newCount 2 at 24, firstRecord = +136 at 40
        "cd cd cd cd cd cd cd cd cd cd cd cd cd cd cd cd\n"
        "cd cd cd cd cd cd cd cd 02 00 00 00 cd cd cd cd\n"
        "cd cd cd cd cd cd cd cd 88 00 00 00 cd cd cd cd\n";
    EXPECT_EQ(hexDump(region.view, 48), golden);

    const char* records =
        // point light at 176: identity, next = +32 (to 216), flags 0x8d (hasData|isNew|kind 5),
        // colour, intensity 100, 4 unwritten bytes
        "88 77 66 55 44 33 22 11 20 00 00 00 8d cd cd cd\n"
        "00 00 80 3f 00 00 00 3f 00 00 00 00 00 00 80 3f\n"
        "00 00 c8 42 cd cd cd cd "
        // transform at 216: identity, next = +96 (to 320), flags 0xe8 (hasData|visible|
        // visibilityValid|isNew, kind 0), shapeRefIsAddress, matrix from 236 with the
        // translation (10, 20, 30) written as (10, 30, 20), shapeRef at 304, hasMaterials 0
        "ef cd ab 00 00 00 00 00\n"
        "60 00 00 00 e8 cd cd cd 01 cd cd cd 00 00 80 3f\n"
        "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00\n"
        "00 00 80 3f 00 00 00 00 00 00 00 00 00 00 00 00\n"
        "00 00 00 00 00 00 80 3f 00 00 00 00 00 00 20 41\n"
        "00 00 f0 41 00 00 a0 41 00 00 80 3f cd cd cd cd\n"
        "88 77 66 55 44 33 22 11 00 cd cd cd cd cd cd cd\n"
        // deleted transform at 320: flags 0x90 (hasData|deleted), next 0
        "42 00 00 00 00 00 00 00 00 00 00 00 90 cd cd cd\n";
    EXPECT_EQ(hexDump(region.view + 176, 160), records);
    EXPECT_EQ(region.used, 176u + 40u + 104u + 16u);
    auto read = this->read();
    ASSERT_TRUE(read.ok()) << read.error->message;
    EXPECT_EQ(read.records.size(), 3u);
}

TEST_F(Records, WriterFollowsTheViewWhenItMovesMidChain)
{
    RecordWriter w(region);
    writeTriangle(w, 0x10);
    // A large vertex array remaps the view between records; the chain must stay intact.
    std::uint32_t big = *w.appendShape(RecordKind::Mesh, false, 0x20, true);
    w.setFlags(big, 0xF8, RecordFlags::isNew | RecordFlags::hasData);
    const std::int32_t vertexCount = 100000;
    MeshRecord* m = w.as<MeshRecord>(big);
    m->vertexCount = vertexCount;
    m->indexCount = 0;
    m->sectionCount = 0;
    std::uint8_t* before = region.view;
    std::uint32_t v = *w.appendArray(big + offsetof(MeshRecord, vertices), std::uint64_t(vertexCount) * 32);
    EXPECT_NE(region.view, before);
    std::memset(w.at(v), 0, std::size_t(vertexCount) * 32);
    std::uint32_t t = *w.appendTransform(TransformForm::Short, 0x30, false);
    w.setFlags(t, 0xF8, RecordFlags::visibilityValid | RecordFlags::visible);

    auto read = this->read();
    ASSERT_TRUE(read.ok()) << read.error->message;
    ASSERT_EQ(read.records.size(), 3u);
    EXPECT_EQ(+read.records[1].mesh.vertexCount, vertexCount);
    EXPECT_EQ(read.records[2].offset, t);
    EXPECT_TRUE(read.records[2].visible());
}

TEST_F(Records, MalformedChainsAreRefusedWithTheOffendingOffset)
{
    struct Case {
        const char* what;
        std::function<std::uint32_t(RecordWriter&)> corrupt; // returns the offset expected in the error
        const char* message;
    };
    auto patch = [this](std::uint64_t offset, auto value) { std::memcpy(region.view + offset, &value, sizeof value); };
    std::uint32_t viewSize = 0;
    std::vector<Case> cases = {
        {"first link past the view", [&](RecordWriter&) { patch(40, std::int32_t(0x7FFFFFF0)); return 40u; },
         "leaves the view"},
        {"first link into the header", [&](RecordWriter&) { patch(40, std::int32_t(-40)); return 40u; },
         "chain would not end"},
        {"cycle",
         [&](RecordWriter& w) {
             std::uint32_t a = *w.appendTransform(TransformForm::Short, 1, false);
             std::uint32_t b = *w.appendTransform(TransformForm::Short, 2, false);
             w.setFlags(a, 0xF8, 0);
             w.setFlags(b, 0xF8, 0);
             storeLink(w.at(b + 8), w.at(a));
             return b + 8;
         },
         "chain would not end"},
        {"record truncated by the view's end",
         [&](RecordWriter& w) {
             std::uint32_t r = *w.appendShape(RecordKind::Mesh, false, 1, false);
             w.setFlags(r, 0xF8, RecordFlags::hasData);
             viewSize = r + 40; // the view ends inside the record
             return r;
         },
         "runs past the view"},
        {"vertex count overruns",
         [&](RecordWriter& w) {
             std::uint32_t r = writeTriangle(w, 1);
             w.as<MeshRecord>(r)->vertexCount = 0x7FFFFFFF;
             return r;
         },
         "vertices"},
        {"index names a missing vertex",
         [&](RecordWriter& w) {
             std::uint32_t r = writeTriangle(w, 1);
             w.as<MeshRecord>(r)->vertexCount = 2;
             return r;
         },
         "names vertex 2 of 2"},
        {"section past the indices",
         [&](RecordWriter& w) {
             std::uint32_t r = writeTriangle(w, 1);
             w.as<MeshRecord>(r)->indexCount = 0;
             return r;
         },
         "section 0"},
        {"unknown kind",
         [&](RecordWriter& w) {
             std::uint32_t r = *w.appendShape(RecordKind::PointLight, false, 1, false);
             w.setFlags(r, 0xFF, RecordFlags::hasData | 6);
             return r;
         },
         "unknown record kind 6"},
        {"short record of an unknown kind",
         [&](RecordWriter& w) {
             std::uint32_t r = *w.appendTransform(TransformForm::Short, 1, false);
             w.setFlags(r, 0xFF, RecordFlags::visibilityValid | 7);
             return r;
         },
         "unknown record kind 7"},
        {"hasMaterials neither 0 nor 1",
         [&](RecordWriter& w) {
             std::uint32_t r = *w.appendTransform(TransformForm::Long, 1, false);
             w.setFlags(r, 0xF8, RecordFlags::hasData);
             w.as<TransformRecord>(r)->hasMaterials = 7;
             return r;
         },
         "hasMaterials is 7"},
        {"material name without terminator",
         [&](RecordWriter& w) {
             std::uint32_t r = *w.appendTransform(TransformForm::LongWithMaterials, 1, false);
             w.setFlags(r, 0xF8, RecordFlags::hasData);
             w.as<TransformRecord>(r)->hasMaterials = 1;
             w.appendMaterialNames(r, {u"abc"});
             std::memset(w.at(region.used - 2), 0x41, 2); // overwrite the terminator
             std::memset(w.at(region.used), 0x41, region.mappedSize - region.used);
             return r;
         },
         "not terminated"},
        {"newCount does not match",
         [&](RecordWriter& w) {
             writeTriangle(w, 1);
             header()->newCount = 5;
             return std::uint32_t(offsetof(RequestHeader, newCount));
         },
         "newCount is 5 but 1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        region.used = sizeof(RequestHeader);
        header()->firstRecord = 0;
        viewSize = region.mappedSize;
        RecordWriter w(region);
        std::uint32_t offset = c.corrupt(w);
        auto read = readRecords(ByteView{region.view, viewSize});
        ASSERT_FALSE(read.ok());
        EXPECT_TRUE(read.records.empty());
        EXPECT_EQ(read.error->offset, offset);
        EXPECT_NE(read.error->message.find(c.message), std::string::npos) << read.error->message;
    }
}

TEST(AxisSwap, MatricesAndUnitComponents)
{
    double m[4][4];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            m[r][c] = r * 10 + c;
    float out[16];
    swapMatrixAxes(m, out);
    // Rows and columns in the order 0, 2, 1, 3.
    const float expected[16] = {0, 2, 1, 3, 20, 22, 21, 23, 10, 12, 11, 13, 30, 32, 31, 33};
    for (int k = 0; k < 16; ++k)
        EXPECT_EQ(out[k], expected[k]) << k;

    EXPECT_EQ(encodeUnitComponent(-1.0), 1);
    EXPECT_EQ(encodeUnitComponent(0.0), 128);
    EXPECT_EQ(encodeUnitComponent(1.0), 255);
    EXPECT_EQ(encodeUnitComponent(-0.5), 64);  // trunc(64.5)
    EXPECT_EQ(encodeUnitComponent(1.0001), 255); // rounding past 1 stays in the byte
    EXPECT_EQ(encodeUnitComponent(-1.5), 0);
}

} // namespace
