// The Unreal search against the fake registry.

#include "Scenario.h"

namespace kvt::setup::test {
namespace {

using Lines = std::vector<std::string>;

class UnrealSearch : public SetupTest {
protected:
    Lines search()
    {
        Installations found;
        EXPECT_EQ(findUnreal(fake, found), Flow::Continue);
        return describe(found);
    }
};

TEST_F(UnrealSearch, InstalledEngineWithWin64EditorGivesItsPluginsFolder)
{
    fake.addEngine(u"4.18", u"C:\\Program Files\\Epic Games\\UE_4.18");
    EXPECT_EQ(search(), Lines{"4.18 -> C:\\Program Files\\Epic Games\\UE_4.18\\Engine\\Plugins"});
    EXPECT_TRUE(fake.messages.empty());
}

TEST_F(UnrealSearch, Win32EditorIsProbedAfterWin64)
{
    fake.addEngine(u"4.18", u"D:\\UE_4.18", u"Win32");
    EXPECT_EQ(search(), Lines{"4.18 -> D:\\UE_4.18\\Engine\\Plugins"});
    EXPECT_EQ(utf8(fake.probes), (Lines{"D:\\UE_4.18\\Engine\\Binaries\\Win64\\UE4Editor.exe",
                                        "D:\\UE_4.18\\Engine\\Binaries\\Win32\\UE4Editor.exe"}));
}

TEST_F(UnrealSearch, EngineWithoutEditorIsDropped)
{
    fake.addEngine(u"4.18", u"D:\\UE_4.18", u"");
    fake.addEngine(u"4.17", u"", u"");
    EXPECT_EQ(search(), Lines{});
}

TEST_F(UnrealSearch, DirectoryOf127CharactersYieldsNothing)
{
    std::u16string tooLong = u"C:\\";
    tooLong.resize(127, u'u');
    fake.addEngine(u"4.18", tooLong);
    EXPECT_EQ(search(), Lines{});
    EXPECT_TRUE(fake.probes.empty());
}

TEST_F(UnrealSearch, EnginesThenSourceBuildsInDiscoveryOrder)
{
    fake.addEngine(u"4.17", u"C:\\UE_4.17");
    fake.addEngine(u"4.18", u"C:\\UE_4.18");
    fake.addSourceBuild(u"{8F0C1AB2}", u"D:/src/UnrealEngine-NQ");
    EXPECT_EQ(search(), (Lines{"4.17 -> C:\\UE_4.17\\Engine\\Plugins", "4.18 -> C:\\UE_4.18\\Engine\\Plugins",
                               "UnrealEngine-NQ -> D:\\src\\UnrealEngine-NQ\\Engine\\Plugins"}));
}

TEST_F(UnrealSearch, SourceBuildIsProbedAsStoredAndItsTargetUsesBackslashes)
{
    fake.addSourceBuild(u"{1}", u"D:/work/UnrealEngine-NQ/4.18", u"Win32");
    EXPECT_EQ(search(), Lines{"UnrealEngine-NQ -> D:\\work\\UnrealEngine-NQ\\4.18\\Engine\\Plugins"});
    EXPECT_EQ(utf8(fake.probes), (Lines{"D:/work/UnrealEngine-NQ/4.18\\Engine\\Binaries\\Win64\\UE4Editor.exe",
                                        "D:/work/UnrealEngine-NQ/4.18\\Engine\\Binaries\\Win32\\UE4Editor.exe"}));
}

TEST_F(UnrealSearch, SourceBuildsWithoutTheMarkerOrTheEditorAreSkipped)
{
    fake.addSourceBuild(u"{1}", u"D:/src/UnrealEngine");             // no marker
    fake.addSourceBuild(u"{2}", u"D:/src/unrealengine-nq");          // marker is case-sensitive
    fake.addSourceBuild(u"{3}", u"D:/src/UnrealEngine-NQ", u"");      // no editor
    fake.addSourceBuild(u"{4}", u"E:/UnrealEngine-NQ");
    EXPECT_EQ(search(), Lines{"UnrealEngine-NQ -> E:\\UnrealEngine-NQ\\Engine\\Plugins"});
}

TEST_F(UnrealSearch, ValueThatCannotBeReadIsSkipped)
{
    fake.addSourceBuild(u"{1}", u"D:/one/UnrealEngine-NQ");
    fake.addSourceBuild(u"{2}", u"D:/two/UnrealEngine-NQ");
    fake.addSourceBuild(u"{3}", u"D:/three/UnrealEngine-NQ");
    // A failure of the fake's own, data longer than the 520-byte buffer, a name longer
    // than its buffer.
    std::u16string huge = u"D:/UnrealEngine-NQ/";
    huge.resize(300, u'x');
    fake.addSourceBuild(u"{4}", huge);
    fake.addSourceBuild(std::u16string(256, u'n'), u"D:/longname/UnrealEngine-NQ"); // name past 256 units
    fake.addSourceBuild(u"{5}", u"D:/five/UnrealEngine-NQ");
    fake.failEnumValueAt(Root::CurrentUser, kBuildsKey, 1, kMoreData);
    EXPECT_EQ(search(), (Lines{"UnrealEngine-NQ -> D:\\one\\UnrealEngine-NQ\\Engine\\Plugins",
                               "UnrealEngine-NQ -> D:\\three\\UnrealEngine-NQ\\Engine\\Plugins",
                               "UnrealEngine-NQ -> D:\\five\\UnrealEngine-NQ\\Engine\\Plugins"}));
}

TEST_F(UnrealSearch, EnumerationThatFailsForeverStillEnds)
{
    // As RegEnumValueW on a key deleted while open: ERROR_KEY_DELETED at every index.
    fake.addSourceBuild(u"{1}", u"D:/one/UnrealEngine-NQ");
    fake.failEnumValuesFrom(Root::CurrentUser, kBuildsKey, 0, 1018);
    EXPECT_EQ(search(), Lines{});
    EXPECT_EQ(utf8(fake.closedKeys), Lines{utf8(kBuildsKey)});
}

TEST_F(UnrealSearch, MissingEngineKeyIsNotReportedAndBuildsAreStillRead)
{
    fake.addSourceBuild(u"{1}", u"D:/src/UnrealEngine-NQ");
    EXPECT_EQ(search().size(), 1u);
    EXPECT_TRUE(fake.messages.empty());
}

TEST_F(UnrealSearch, EngineEnumerationStopsAtFailureAndSkipsUnopenableVersions)
{
    fake.addEngine(u"4.16", u"C:\\UE_4.16");
    fake.addEngine(u"4.17", u"C:\\UE_4.17");
    fake.addEngine(u"4.18", u"C:\\UE_4.18");
    fake.addEngine(u"4.19", u"C:\\UE_4.19");
    fake.failOpen(Root::LocalMachine, kUnrealKey + u"\\4.16", kAccessDenied);
    fake.failEnumKeyAt(Root::LocalMachine, kUnrealKey, 3, kMoreData);
    EXPECT_EQ(search(), (Lines{"4.17 -> C:\\UE_4.17\\Engine\\Plugins", "4.18 -> C:\\UE_4.18\\Engine\\Plugins"}));
    EXPECT_FALSE(fake.exitCode);
}

TEST_F(UnrealSearch, BothTopKeysAreClosed)
{
    fake.addEngine(u"4.18", u"C:\\UE_4.18");
    fake.addSourceBuild(u"{1}", u"D:/src/UnrealEngine-NQ");
    EXPECT_EQ(search().size(), 2u);
    EXPECT_EQ(utf8(fake.closedKeys), (Lines{utf8(kUnrealKey), utf8(kBuildsKey)}));
}

TEST_F(UnrealSearch, AccessDeniedOnTheEngineKeyEndsTheProgramWithZero)
{
    fake.addSourceBuild(u"{1}", u"D:/src/UnrealEngine-NQ");
    fake.failOpen(Root::LocalMachine, kUnrealKey, kAccessDenied);
    Installations found;
    EXPECT_EQ(findUnreal(fake, found), Flow::Ended);
    EXPECT_EQ(fake.exitCode, 0);
    ASSERT_EQ(fake.messages.size(), 1u);
    EXPECT_EQ(utf8(fake.messages[0].title), utf8(kErrorTitle));
    EXPECT_EQ(utf8(fake.messages[0].text), utf8(kAccessDeniedText));
    EXPECT_TRUE(fake.probes.empty()) << "the builds key must not be read after the exit";
}

TEST_F(UnrealSearch, AccessDeniedOnTheBuildsKeyEndsTheProgramWithZero)
{
    fake.addEngine(u"4.18", u"C:\\UE_4.18");
    fake.failOpen(Root::CurrentUser, kBuildsKey, kAccessDenied);
    Installations found;
    EXPECT_EQ(findUnreal(fake, found), Flow::Ended);
    EXPECT_EQ(fake.exitCode, 0);
    ASSERT_EQ(fake.messages.size(), 1u);
    EXPECT_EQ(utf8(fake.messages[0].text), utf8(kAccessDeniedText));
    EXPECT_EQ(utf8(fake.closedKeys), Lines{utf8(kUnrealKey)}) << "the engine key is closed before the builds key is opened";
}

} // namespace
} // namespace kvt::setup::test
