// The decision and the whole program: which command each step runs, which
// message it shows, and how the program ends.

#include "Scenario.h"

namespace kvt::setup::test {
namespace {

using Lines = std::vector<std::string>;

// --- the decision alone ----------------------------------------------------------------

TEST(Decision, VersionsCompareExactly)
{
    Installations found{{u"2018 ", u"C:\\a\\"}, {u"2018.5", u"C:\\b\\"}, {u"Maya2018", u"C:\\c\\"}};
    EXPECT_EQ(pickWanted(found, "2018"), nullptr);
    Installations engines{{u"4.18.3", u"C:\\a"}, {u"4.180", u"C:\\b"}, {u"UnrealEngine-NQ", u"C:\\c"}};
    EXPECT_EQ(pickWanted(engines, "4.18"), nullptr);
    EXPECT_EQ(commandFor(engines, kUnrealStep), u"") << "entries but none wanted: nothing is run";
}

// --- the whole program -----------------------------------------------------------------

class WholeRun : public SetupTest {
protected:
    int runSetup()
    {
        int code = run(fake);
        // exitProcess is only ever called with 0, and then run returns 0 as well.
        if (fake.exitCode) {
            EXPECT_EQ(code, *fake.exitCode);
        }
        return code;
    }
};

TEST_F(WholeRun, NormalRunRunsBothPackagesWithTheirFoldersAndEndsWithOne)
{
    fake.addMaya(u"Maya", u"2018", u"C:\\Program Files\\Autodesk\\Maya2018\\");
    fake.addEngine(u"4.18", u"C:\\Program Files\\Epic Games\\UE_4.18");
    EXPECT_EQ(runSetup(), 1);
    EXPECT_EQ(fake.journal, (Lines{
        "command: Maya\\MayaSidePackage.msi TARGETDIR=\"C:\\Program Files\\Autodesk\\Maya2018\\\"",
        "command: Ue\\UeSidePackage.msi TARGETDIR=\"C:\\Program Files\\Epic Games\\UE_4.18\\Engine\\Plugins\""}));
    EXPECT_FALSE(fake.exitCode) << "a normal run returns from main, it does not call exit";
    EXPECT_EQ(utf8(fake.closedKeys), (Lines{utf8(kAutodesk), utf8(kUnrealKey)}));
}

TEST_F(WholeRun, NothingInstalledRunsBothPackagesWithoutTargets)
{
    EXPECT_EQ(runSetup(), 1);
    EXPECT_EQ(fake.journal, (Lines{"message: " + utf8(kErrorTitle) + " / " + utf8(kNoAutodeskText),
                                   "command: Maya\\MayaSidePackage.msi", "command: Ue\\UeSidePackage.msi"}));
}

TEST_F(WholeRun, NoValidMayaRunsTheMayaPackageWithoutTargetAndSaysNothing)
{
    fake.addMaya(u"Maya", u"2018", u"C:\\Maya2018\\", false);
    fake.addEngine(u"4.18", u"C:\\UE_4.18");
    EXPECT_EQ(runSetup(), 1);
    EXPECT_TRUE(fake.messages.empty());
    EXPECT_EQ(utf8(fake.commands),
              (Lines{"Maya\\MayaSidePackage.msi", "Ue\\UeSidePackage.msi TARGETDIR=\"C:\\UE_4.18\\Engine\\Plugins\""}));
}

TEST_F(WholeRun, OfTwoValidVersionsThe2018OneIsRun)
{
    fake.addMaya(u"Maya", u"2018", u"C:\\Program Files\\Autodesk\\Maya2018\\");
    fake.addMaya(u"Maya", u"2019", u"C:\\Program Files\\Autodesk\\Maya2019\\");
    EXPECT_EQ(runSetup(), 1);
    ASSERT_FALSE(fake.commands.empty());
    EXPECT_EQ(utf8(fake.commands[0]), utf8(mayaCommand(u"C:\\Program Files\\Autodesk\\Maya2018\\")));
}

TEST_F(WholeRun, OfTwo2018EntriesTheLastEnumeratedWins)
{
    fake.addMaya(u"Maya", u"2018", u"C:\\Program Files\\Autodesk\\Maya2018\\");
    fake.addMaya(u"MayaLT", u"2018", u"D:\\Autodesk\\MayaLT2018\\");
    EXPECT_EQ(runSetup(), 1);
    ASSERT_FALSE(fake.commands.empty());
    EXPECT_EQ(utf8(fake.commands[0]), utf8(mayaCommand(u"D:\\Autodesk\\MayaLT2018\\")));
}

TEST_F(WholeRun, OnlyASourceBuildShowsTheUnrealVersionMessageAndRunsNothing)
{
    fake.addMaya(u"Maya", u"2018", u"C:\\Maya2018\\");
    fake.addSourceBuild(u"{5E0C}", u"D:/src/UnrealEngine-NQ");
    EXPECT_EQ(runSetup(), 1);
    EXPECT_EQ(fake.journal, (Lines{"command: " + utf8(mayaCommand(u"C:\\Maya2018\\")),
                                   "message: " + utf8(kNoticeTitle) + " / " + utf8(kNoUnreal418Text)}));
}

TEST_F(WholeRun, TheUnrealStepRunsAfterAMayaStepThatRanNothing)
{
    fake.addMaya(u"Maya", u"2017", u"C:\\Maya2017\\");
    fake.addEngine(u"4.18", u"C:\\UE_4.18");
    EXPECT_EQ(runSetup(), 1);
    EXPECT_EQ(fake.journal, (Lines{"message: " + utf8(kNoticeTitle) + " / " + utf8(kNoMaya2018Text),
                                   "command: " + utf8(unrealCommand(u"C:\\UE_4.18\\Engine\\Plugins"))}));
}

TEST_F(WholeRun, NeitherWantedVersionShowsBothMessagesAndRunsNothing)
{
    fake.addMaya(u"Maya", u"2017", u"C:\\Maya2017\\");
    fake.addEngine(u"4.17", u"C:\\UE_4.17");
    EXPECT_EQ(runSetup(), 1);
    EXPECT_TRUE(fake.commands.empty());
    EXPECT_EQ(fake.messages, (std::vector<FakePlatform::Message>{{kNoticeTitle, kNoMaya2018Text},
                                                                 {kNoticeTitle, kNoUnreal418Text}}));
}

// Access denied on each of the three top keys: the message, then exit code 0 at once.
struct DeniedKey {
    const char* name;
    Root root;
    std::u16string path;
    Lines before; // what happened before the denial
};

void PrintTo(const DeniedKey& key, std::ostream* os) { *os << key.name; }

class AccessDenied : public WholeRun, public ::testing::WithParamInterface<DeniedKey> {};

TEST_P(AccessDenied, EndsTheProgramWithZeroAfterTheMessage)
{
    fake.addMaya(u"Maya", u"2018", u"C:\\Maya2018\\");
    fake.addEngine(u"4.18", u"C:\\UE_4.18");
    fake.addSourceBuild(u"{1}", u"D:/src/UnrealEngine-NQ");
    fake.failOpen(GetParam().root, GetParam().path, kAccessDenied);
    EXPECT_EQ(runSetup(), 0);
    EXPECT_EQ(fake.exitCode, 0);
    Lines expected = GetParam().before;
    expected.push_back("message: " + utf8(kErrorTitle) + " / " + utf8(kAccessDeniedText));
    expected.push_back("exit: 0");
    EXPECT_EQ(fake.journal, expected);
}

INSTANTIATE_TEST_SUITE_P(
    OnEachTopKey, AccessDenied,
    ::testing::Values(
        DeniedKey{"Autodesk", Root::LocalMachine, kAutodesk, {}},
        DeniedKey{"UnrealEngine", Root::LocalMachine, kUnrealKey,
                  {"command: Maya\\MayaSidePackage.msi TARGETDIR=\"C:\\Maya2018\\\""}},
        DeniedKey{"SourceBuilds", Root::CurrentUser, kBuildsKey,
                  {"command: Maya\\MayaSidePackage.msi TARGETDIR=\"C:\\Maya2018\\\""}}),
    [](const ::testing::TestParamInfo<DeniedKey>& info) { return std::string(info.param.name); });

} // namespace
} // namespace kvt::setup::test
