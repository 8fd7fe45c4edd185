// Tearing the registry down removes every callback the plug-in registered and every
// mirror object, so Maya never calls into an unloaded plug-in.

#include "SceneHarness.h"

#include "Messages.h"

#include <maya/MGlobal.h>

#include <gtest/gtest.h>

TEST(Unload, ShutdownRemovesEveryCallbackAndObject)
{
    std::size_t before = mayahost::messages::registeredCount();
    {
        SceneHarness scene;
        scene.mel("polyCube -n box");
        scene.mel("spotLight -n spot");
        scene.mel("group -n g box");
        scene.frame();
        EXPECT_GT(mayahost::messages::registeredCount(), before);
        scene.registry.shutdown();
    }
    // Only the callbacks of the host itself remain (the registry's timer is one of ours).
    EXPECT_EQ(mayahost::messages::registeredCount(), 0u);
    auto mirrored = [] {
        int objects = 0;
        MayaSceneRegistry::instance().forEachInstance([&](MayaSceneObject*) { ++objects; });
        MayaSceneRegistry::instance().forEachShape([&](MayaShape*) { ++objects; });
        return objects;
    };
    EXPECT_EQ(mirrored(), 0);
    // Edits after the teardown reach no plug-in code: a new mesh, a move, a deletion and a
    // new scene go through Maya and leave the registry empty, with no callback registered.
    EXPECT_TRUE(MGlobal::executeCommand("polyCube -n after"));
    EXPECT_TRUE(MGlobal::executeCommand("move -r 1 2 3 g"));
    EXPECT_TRUE(MGlobal::executeCommand("delete g"));
    EXPECT_TRUE(MGlobal::executeCommand("file -f -new"));
    EXPECT_EQ(mirrored(), 0);
    EXPECT_EQ(mayahost::messages::registeredCount(), 0u);
}
