// The Maya search against the fake registry.

#include "Scenario.h"

namespace kvt::setup::test {
namespace {

using Lines = std::vector<std::string>;

class MayaSearch : public SetupTest {
protected:
    Lines search()
    {
        Installations found;
        EXPECT_EQ(findMaya(fake, found), Flow::Continue);
        return describe(found);
    }
};

TEST_F(MayaSearch, NoAutodeskKeyIsReportedAndFindsNothing)
{
    EXPECT_EQ(search(), Lines{});
    ASSERT_EQ(fake.messages.size(), 1u);
    EXPECT_EQ(utf8(fake.messages[0].title), utf8(kErrorTitle));
    EXPECT_EQ(utf8(fake.messages[0].text), utf8(kNoAutodeskText));
    EXPECT_FALSE(fake.exitCode);
}

TEST_F(MayaSearch, AutodeskKeyWithoutAnyMayaFindsNothingSilently)
{
    fake.addKey(Root::LocalMachine, kAutodesk + u"\\3ds Max\\2018\\Setup\\InstallPath");
    fake.addKey(Root::LocalMachine, kAutodesk + u"\\Autodesk Desktop App");
    EXPECT_EQ(search(), Lines{});
    EXPECT_TRUE(fake.messages.empty());
}

TEST_F(MayaSearch, MayaWhoseExecutableIsMissingIsDropped)
{
    fake.addMaya(u"Maya", u"2018", u"C:\\Program Files\\Autodesk\\Maya2018\\", false);
    EXPECT_EQ(search(), Lines{});
    EXPECT_EQ(utf8(fake.probes), Lines{"C:\\Program Files\\Autodesk\\Maya2018\\bin\\maya.exe"});
    EXPECT_TRUE(fake.messages.empty());
}

TEST_F(MayaSearch, ProductFilterIsACaseSensitiveSubstring)
{
    fake.addMaya(u"maya", u"2018", u"C:\\lower\\");
    fake.addMaya(u"MAYA", u"2018", u"C:\\upper\\");
    fake.addMaya(u"MayaLT", u"2018", u"C:\\lt\\");
    fake.addMaya(u"Autodesk Maya", u"2018", u"C:\\inner\\");
    EXPECT_EQ(search(), (Lines{"2018 -> C:\\lt\\", "2018 -> C:\\inner\\"}));
}

TEST_F(MayaSearch, LocationIsUsedExactlyAsStored)
{
    // No trailing backslash: the probe is glued on as it is, and misses.
    fake.addMaya(u"Maya", u"2018", u"C:\\Maya2018", false);
    fake.addFile(u"C:\\Maya2018\\bin\\maya.exe");
    EXPECT_EQ(search(), Lines{});
    EXPECT_EQ(utf8(fake.probes), Lines{"C:\\Maya2018bin\\maya.exe"});
}

TEST_F(MayaSearch, InstallFolderOf127CharactersYieldsNothing)
{
    // 127 units and the terminator are 256 bytes: more than the 255-byte limit.
    const std::u16string tooLong = folderOfLength(127);
    ASSERT_EQ(tooLong.size(), 127u);
    fake.addMaya(u"Maya", u"2018", tooLong);
    EXPECT_EQ(search(), Lines{});
    EXPECT_TRUE(fake.probes.empty()) << "a value that does not fit must not be probed";
}

TEST_F(MayaSearch, InstallFolderOf126CharactersStillFits)
{
    const std::u16string longest = folderOfLength(126);
    ASSERT_EQ(longest.size(), 126u);
    fake.addMaya(u"Maya", u"2018", longest);
    EXPECT_EQ(search(), Lines{"2018 -> " + utf8(longest)});
}

TEST_F(MayaSearch, MissingOrEmptyLocationIsDropped)
{
    fake.addKey(Root::LocalMachine, kAutodesk + u"\\Maya\\2016\\Setup\\InstallPath"); // no value
    fake.addMaya(u"Maya", u"2017", u"", false);
    fake.addKey(Root::LocalMachine, kAutodesk + u"\\Maya\\2018\\Setup"); // no InstallPath key
    fake.addMaya(u"Maya", u"2019", u"C:\\Maya2019\\");
    EXPECT_EQ(search(), Lines{"2019 -> C:\\Maya2019\\"});
    EXPECT_TRUE(fake.messages.empty());
}

TEST_F(MayaSearch, ProductThatCannotBeOpenedIsSkipped)
{
    fake.addMaya(u"Maya", u"2018", u"C:\\Maya2018\\");
    fake.addMaya(u"MayaIO", u"2018", u"C:\\MayaIO2018\\");
    fake.failOpen(Root::LocalMachine, kAutodesk + u"\\Maya", kAccessDenied);
    EXPECT_EQ(search(), Lines{"2018 -> C:\\MayaIO2018\\"});
    EXPECT_FALSE(fake.exitCode) << "only the three top keys end the program";
}

TEST_F(MayaSearch, ProductEnumerationStopsAtTheFirstFailure)
{
    fake.addMaya(u"Maya", u"2017", u"C:\\Maya2017\\");
    fake.addKey(Root::LocalMachine, kAutodesk + u"\\Unreadable");
    fake.addMaya(u"MayaLT", u"2018", u"C:\\MayaLT2018\\");
    fake.failEnumKeyAt(Root::LocalMachine, kAutodesk, 1, kAccessDenied);
    EXPECT_EQ(search(), Lines{"2017 -> C:\\Maya2017\\"});
}

TEST_F(MayaSearch, ProductNameLongerThanTheBufferEndsTheEnumeration)
{
    // A 255-character name and its terminator do not fit the 255-character buffer.
    fake.addKey(Root::LocalMachine, kAutodesk + u"\\" + std::u16string(255, u'M'));
    fake.addMaya(u"Maya", u"2018", u"C:\\Maya2018\\");
    EXPECT_EQ(search(), Lines{});
}

TEST_F(MayaSearch, EmptyProductNameEndsTheEnumerationButEmptyVersionNameIsSkipped)
{
    fake.addKey(Root::LocalMachine, kAutodesk + u"\\Maya\\");        // version ""
    fake.addMaya(u"Maya", u"2018", u"C:\\Maya2018\\");
    fake.addKey(Root::LocalMachine, kAutodesk + u"\\");              // product ""
    fake.addMaya(u"MayaLT", u"2018", u"C:\\MayaLT2018\\");
    EXPECT_EQ(search(), Lines{"2018 -> C:\\Maya2018\\"});
}

TEST_F(MayaSearch, VersionEnumerationStopsAtItsFirstFailure)
{
    fake.addMaya(u"Maya", u"2017", u"C:\\Maya2017\\");
    fake.addMaya(u"Maya", u"2018", u"C:\\Maya2018\\");
    fake.failEnumKeyAt(Root::LocalMachine, kAutodesk + u"\\Maya", 1, kMoreData);
    fake.addMaya(u"MayaLT", u"2018", u"C:\\MayaLT2018\\");
    EXPECT_EQ(search(), (Lines{"2017 -> C:\\Maya2017\\", "2018 -> C:\\MayaLT2018\\"}));
}

TEST_F(MayaSearch, OnlyTheAutodeskKeyIsClosed)
{
    fake.addMaya(u"Maya", u"2018", u"C:\\Maya2018\\");
    EXPECT_EQ(search().size(), 1u);
    EXPECT_EQ(utf8(fake.closedKeys), Lines{utf8(kAutodesk)});
}

TEST_F(MayaSearch, AccessDeniedOnTheAutodeskKeyEndsTheProgramWithZero)
{
    fake.addMaya(u"Maya", u"2018", u"C:\\Maya2018\\");
    fake.failOpen(Root::LocalMachine, kAutodesk, kAccessDenied);
    Installations found;
    EXPECT_EQ(findMaya(fake, found), Flow::Ended);
    EXPECT_TRUE(found.empty());
    ASSERT_EQ(fake.messages.size(), 1u);
    EXPECT_EQ(utf8(fake.messages[0].title), utf8(kErrorTitle));
    EXPECT_EQ(utf8(fake.messages[0].text), utf8(kAccessDeniedText));
    EXPECT_EQ(fake.exitCode, 0);
}

TEST_F(MayaSearch, OtherFailureOnTheAutodeskKeyFindsNothingSilently)
{
    fake.addMaya(u"Maya", u"2018", u"C:\\Maya2018\\");
    fake.failOpen(Root::LocalMachine, kAutodesk, 1450); // ERROR_NO_SYSTEM_RESOURCES
    EXPECT_EQ(search(), Lines{});
    EXPECT_TRUE(fake.messages.empty());
    EXPECT_FALSE(fake.exitCode);
}

} // namespace
} // namespace kvt::setup::test
