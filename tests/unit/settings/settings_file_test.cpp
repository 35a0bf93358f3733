// The settings file: how it reads and writes (as the platform's private-profile functions
// do), where it lives, and how it is replaced.

#include "core/settings/settings_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "core/settings/profile.h"
#include "file_bytes.h"
#include "temp_dir.h"

namespace kestrel {
namespace {

using namespace testing;
using namespace std::string_literals;
namespace fs = std::filesystem;

std::string get(const Profile& p, std::string_view section, std::string_view key,
                std::size_t buffer = 80) {
    return p.get(section, key, "(default)", buffer);
}

TEST(ProfileRead, NamesIgnoreCaseValuesLoseBlanksAndQuotesFirstWinsNumbersAsAtoi) {
    Profile p = Profile::parse(
        "[Env]\r\n  pause_str \t=  /**/ \t\r\n[ rs232c ]\nCOM_PORT=3\n[\x83\x41]\nK=kana\n"
        "[Q]\nA=\"two words\"\nC=\"open\nD=\"\nE=''\nF='mixed\"\nG=abcdef\nEMPTY=\n"
        "BLANKS=  \t \nA=second\n[T]\nK=t\n[q]\nA=third\nONLY=here\n");
    EXPECT_EQ(get(p, "ENV", "PAUSE_STR"), "/**/");
    EXPECT_EQ(get(p, "RS232C", "com_port"), "3");
    EXPECT_EQ(get(p, "\x83\x41", "k"), "kana");
    // After a lead byte 0x41 and 0x61 are halves of two different characters.
    EXPECT_EQ(get(p, "\x83\x61", "K"), "(default)");

    EXPECT_EQ(get(p, "Q", "A"), "two words");  // the first section and key win
    EXPECT_EQ(get(p, "Q", "ONLY"), "(default)");
    EXPECT_EQ(get(p, "Q", "C"), "\"open");
    EXPECT_EQ(get(p, "Q", "D"), "\"");
    EXPECT_EQ(get(p, "Q", "E"), "");
    EXPECT_EQ(get(p, "Q", "F"), "'mixed\"");
    EXPECT_EQ(get(p, "Q", "G", 4), "abc");
    EXPECT_EQ(get(p, "Q", "G", 1), "");

    // Defaults lose trailing blanks.
    EXPECT_EQ(p.get("Q", "missing", " ", 80), "");
    EXPECT_EQ(p.get("NOSECTION", "K", "abc  ", 3), "ab");
    EXPECT_EQ(p.get("Q", "EMPTY", "x", 80), "");
    EXPECT_EQ(p.get_number("Q", "BLANKS", 7), 0);
    // Numbers read as atoi reads them.
    EXPECT_EQ(parse_number(" \t-5"), -5);
    EXPECT_EQ(parse_number("12abc"), 12);
    EXPECT_EQ(parse_number("- 3"), 0);
    EXPECT_EQ(parse_number("99999999999999999999"), INT_MAX);
    EXPECT_EQ(parse_number("-2147483648"), INT_MIN);
}

TEST(ProfileWrite, ChangesOnlyTheValueAndAddsKeysAfterTheLastKeyOfTheirSection) {
    Profile p =
        Profile::parse("; hand-written\r\n[S]\n  K = old  \nL=keep\r\n; note\n\n[T]\n\n[U]\nB=2");
    p.set("S", "L", "keep");
    EXPECT_FALSE(p.changed());
    p.set("s", "k", "\x82\xa0new");
    EXPECT_TRUE(p.changed());
    p.set("S", "NEW", "x");
    p.set("T", "C", "3");
    p.set("V", "D", "4");
    p.set("U", "E", "5");
    p.set("S", "F", "one\r\n[EVIL]\r\nX=1");
    p.set("S", "G", "two\0three"s);
    EXPECT_EQ(p.bytes(),
              "; hand-written\r\n[S]\n  K = \x82\xa0new\nL=keep\r\nNEW=x\r\nF=one\r\nG=two\r\n"
              "; note\n\n[T]\nC=3\r\n\n[U]\nB=2\r\nE=5\r\n[V]\r\nD=4\r\n");
}

TEST(ProfileGarbage, ReadsWhatItCanKeepsEveryByteAndStillWrites) {
    std::string garbage = "\x00\x01\xff\xfe binary\nK=before any section\n[S\nnot a key\n"s;
    garbage += std::string(100 * 1024, 'x') + "\n";
    garbage += "[S]\n=no name\nK=" + std::string(100 * 1024, 'v') + "\nK2=a\0b\n[BROKEN\nX=1\n"s;
    garbage += "[ENV]\nJST=0\n\x80\x80\x81 trailing garbage\n";

    Profile p = Profile::parse(garbage);
    EXPECT_EQ(p.bytes(), garbage);
    EXPECT_EQ(get(p, "", "K"), "(default)");
    EXPECT_EQ(get(p, "S", ""), "(default)");
    EXPECT_EQ(get(p, "S", "K"), std::string(79, 'v'));
    EXPECT_EQ(get(p, "S", "K2"), "a\0b"s);
    // A "[" line without "]" is no header: X still belongs to S.
    EXPECT_EQ(get(p, "S", "X"), "1");

    p.set("ENV", "TOOL_BAR", "1");
    std::string expected = garbage;
    expected.replace(expected.rfind("JST=0\n"), 6, "JST=0\nTOOL_BAR=1\r\n");
    EXPECT_EQ(p.bytes(), expected);
}

// Puts an environment variable back as it was when the test ends.
struct KeepVariable {
    const char* name;
    std::optional<std::string> value =
        std::getenv(name) ? std::getenv(name) : std::optional<std::string>();
    ~KeepVariable() { value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name); }
};

TEST(SettingsFileLocation, ABareNameLivesInTheConfigDirectoryAnyOtherIsThatFileFromNowOn) {
    KeepVariable home_variable{"HOME"}, xdg_variable{"XDG_CONFIG_HOME"};
    TempDir home;
    ::setenv("HOME", home.path().c_str(), 1);
    const std::string config = home.path() + "/.config/kestrel/";
    ::setenv("XDG_CONFIG_HOME", "/xdg/config", 1);
    EXPECT_EQ(SettingsFile("").settings_path(), "/xdg/config/kestrel/KESTREL.INI");
    ::setenv("XDG_CONFIG_HOME", "relative/dir", 1);  // not absolute: as if unset
    EXPECT_EQ(SettingsFile("my.ini").settings_path(), config + "my.ini");
    EXPECT_EQ(SettingsFile("/e/s.ini").scroll_file_path(), "/e/s.buf");
    EXPECT_EQ(SettingsFile("/a.b").scroll_file_path(), "");
    EXPECT_EQ(SettingsFile("c/s.ini").settings_path(), fs::current_path().string() + "/c/s.ini");

    // The directory appears with the first write that has something to write.
    SettingsFile bare("KESTREL.INI");
    Profile profile = bare.read();
    profile.set("ENV", "JST", "1");
    ASSERT_TRUE(bare.write(profile));
    EXPECT_EQ(read_bytes(config + "KESTREL.INI"), "[ENV]\r\nJST=1\r\n");
}

// The new bytes replace the file in one step (a failure half-way is the scroll file's test),
// keeping its mode and the link that names it; a file that cannot be read is never replaced.
// What a crash in the middle of a save left beside the file (the one a link names) goes with
// the first read: regular files named as its new files are, a minute old or more, or younger
// when the process in the name has ended (a kill -9 in the middle of a save).
TEST(ProfileSave, ReplacesInOneStepKeepingModeAndLinkAndTheFirstReadClearsWhatACrashLeft) {
    TempDir dir;
    const std::string link = dir.file("KESTREL.INI"), real = dir.file("real/");
    fs::create_directory(real);
    write_bytes(real + "KESTREL.INI", "[ENV]\nJST=1\n");
    ::chmod((real + "KESTREL.INI").c_str(), 0640);
    fs::create_symlink("real/KESTREL.INI", link);
    Profile p = Profile::load(link);
    p.set("ENV", "JST", "0");
    ASSERT_TRUE(p.save(link));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(read_bytes(real + "KESTREL.INI"), "[ENV]\nJST=0\n");
    EXPECT_EQ(fs::status(real + "KESTREL.INI").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(names_in(real), (std::set<std::string>{"KESTREL.INI"}));

    fs::create_directory(dir.file("dir.ini"));
    Profile unreadable = Profile::load(dir.file("dir.ini"));
    EXPECT_FALSE(unreadable.readable());
    EXPECT_EQ(unreadable.get("RS232C", "COM_PORT", "1", 30), "1");
    unreadable.set("RS232C", "COM_PORT", "2");
    EXPECT_FALSE(unreadable.save(dir.file("dir.ini")));
    EXPECT_TRUE(fs::is_directory(dir.file("dir.ini")));

    for (const char* name :
         {"KESTREL.INI.tmp4242-17", "KESTREL.INI.tmp4242", "KESTREL.INI.tmp4242-",
          "KESTREL.INI.tmp-3", "KESTREL.INI.tmp1-2.bak", "KESTREL.buf.tmp1-2"})
        write_bytes(real + name, "x");
    fs::create_directory(real + "KESTREL.INI.tmp5-5");
    fs::create_symlink("KESTREL.buf.tmp1-2", real + "KESTREL.INI.tmp6-6");
    for (const auto& entry : fs::directory_iterator(real)) age_by(entry.path(), 3600);
    age_by(real + "KESTREL.INI.tmp4242-17", 61);
    // A save under way in a live copy (this process stands in for it) stays.
    write_bytes(real + "KESTREL.INI.tmp" + std::to_string(::getpid()) + "-18", "x");
    const pid_t ended = ::fork();
    if (ended == 0) ::_exit(0);
    ASSERT_EQ(::waitpid(ended, nullptr, 0), ended);
    write_bytes(real + "KESTREL.INI.tmp" + std::to_string(ended) + "-1", "x");

    std::set<std::string> kept = names_in(real);
    kept.erase("KESTREL.INI.tmp4242-17");
    kept.erase("KESTREL.INI.tmp" + std::to_string(ended) + "-1");
    SettingsFile(link).read();
    EXPECT_EQ(names_in(real), kept);
}

}  // namespace
}  // namespace kestrel
