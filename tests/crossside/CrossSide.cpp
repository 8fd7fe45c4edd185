#include "CrossSide.h"

#include "SceneCompare.h"

#include "ChildProcess.h"

#include "Editor.h"
#include "Engine/World.h"
#include "Modules/ModuleManager.h"
#include "RenderingThread.h"

#include <maya/MGlobal.h>
#include <maya/MString.h>

#include <cstdlib>

namespace crossside {

kvt::RegionNames UniqueRegionNames()
{
    const std::string suffix = testsupport::uniqueName("-cross");
    setenv("KVT_REGION_SUFFIX", suffix.c_str(), 1);
    return kvt::RegionNames::suffixed(suffix);
}

void CrossSideTest::SetUp()
{
    Names = UniqueRegionNames();
    SetUpRegions();
    StartEditor(false, &Clock);
    FModuleManager::Get().AddBinariesDirectory(*FString(QUORBELL_MODULE_DIR), false);
    ASSERT_NE(FModuleManager::Get().LoadModule(FName(TEXT("QuorbellMirror"))), nullptr);

    Maya = std::make_unique<kvt::LinkRequester>([this] { Registry.resync(); }, Names);
    Registry.link = Maya.get();
    // Whatever an earlier test left in the scene goes; the first claim sends the rest.
    Mel("file -f -new");
    Registry.registerCallbacks();
}

void CrossSideTest::TearDown()
{
    Registry.link = nullptr;
    Maya.reset();
    EditorTest::TearDown();
    unsetenv("KVT_REGION_SUFFIX");
}

std::string CrossSideTest::Mel(const std::string& command)
{
    MString result;
    MStatus status = MGlobal::executeCommand(command.c_str(), result);
    EXPECT_TRUE(status == MS::kSuccess) << "MEL failed: " << command;
    return result.asChar();
}

void CrossSideTest::TaggedShadingEngine(const std::string& Shader, const std::string& Material)
{
    const std::string SG = Shader + "SG";
    Mel("shadingNode -asShader lambert -n " + Shader);
    Mel("sets -renderable true -noSurfaceShader true -empty -name " + SG);
    Mel("connectAttr " + Shader + ".outColor " + SG + ".surfaceShader");
    Mel("setAttr -type \"string\" " + SG + ".UE4Material \"" + Material + "\"");
}

FrameOutcome CrossSideTest::Frame(const std::function<void(kvt::SharedRegion&)>& Tamper)
{
    FrameOutcome out;
    if (Maya->connect() != kvt::LinkRequester::ConnectResult::Connected || !Maya->isOurTurn()) {
        ADD_FAILURE() << "the link did not connect";
        return out;
    }
    out.connected = true;
    kvt::RequestHeader* header = Maya->beginRequest();
    if (!header) {
        ADD_FAILURE() << "the request header did not fit";
        return out;
    }
    header->pictureWanted = 0;
    out.newSession = header->newSession != 0;
    out.written = Registry.writeChanges(Maya->request(), Maya->response(), ~0ull);
    if (out.written) {
        if (Tamper)
            Tamper(Maya->request());
        Maya->publishRequest();
    } else {
        EXPECT_FALSE(Maya->isConnected()) << "a frame that could not be written keeps the link";
    }

    // The editor's turn: one tick of its loop and the render commands it enqueued.
    Loop.Tick();
    FlushRenderingCommands();
    if (!out.written)
        return out;

    // The editor answers within its tick; a reply still owed would make Maya wait forever.
    if (kvt::loadCounter(Maya->requestHeader()) != kvt::loadCounter(Maya->responseHeader())) {
        ADD_FAILURE() << "the editor did not answer the request in its tick";
        return out;
    }
    if (Maya->awaitResponse() != kvt::LinkRequester::AwaitResult::Reply)
        return out;
    kvt::Optional<kvt::Reply> reply = Maya->readReply();
    if (!reply)
        return out; // refused: the link let go and the next claim sends the whole scene
    Registry.applyHandles(*reply);
    out.replied = true;
    return out;
}

std::size_t CrossSideTest::ExpectMirrorEqualsScene(const std::string& step)
{
    std::vector<std::string> problems;
    const std::vector<MayaInstanceView> maya = DescribeMaya(Registry, problems);
    const std::vector<UnrealComponentView> unreal = DescribeUnreal(GEditor->GetEditorWorldContext(false).World());
    for (const std::string& p : CompareMirror(maya, unreal))
        problems.push_back(p);
    std::string all;
    for (const std::string& p : problems)
        all += "\n  " + p;
    EXPECT_TRUE(problems.empty()) << "after " << step << ":" << all;
    return maya.size();
}

} // namespace crossside
