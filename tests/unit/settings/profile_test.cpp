#include "core/settings/profile.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace kestrel {
namespace {

using namespace std::string_literals;

std::string get(const Profile& p, std::string_view section, std::string_view key,
                std::size_t buffer = 80) {
    return p.get(section, key, "(default)", buffer);
}

TEST(ProfileRead, NamesIgnoreAsciiCaseValuesLoseBlanksAndQuotesFirstOccurrenceWins) {
    Profile p = Profile::parse(
        "[Env]\r\n  pause_str \t=  /**/ \t\r\n[ rs232c ]\nCOM_PORT=3\n[\x83\x41]\nK=kana\n"
        "[Q]\nA=\"two words\"\nB='x'\nC=\"open\nD=\"\nE=''\nF='mixed\"\nG=abcdef\nEMPTY=\n"
        "BLANKS=  \t \nA=second\n[T]\nK=t\n[q]\nA=third\nONLY=here\n");
    EXPECT_EQ(get(p, "ENV", "PAUSE_STR"), "/**/");
    EXPECT_EQ(get(p, "RS232C", "com_port"), "3");
    EXPECT_EQ(get(p, "\x83\x41", "k"), "kana");
    // After a lead byte 0x41 and 0x61 are halves of two different characters.
    EXPECT_EQ(get(p, "\x83\x61", "K"), "(default)");

    EXPECT_EQ(get(p, "Q", "A"), "two words");  // the first section and key win
    EXPECT_EQ(get(p, "Q", "ONLY"), "(default)");
    EXPECT_EQ(get(p, "T", "K"), "t");
    EXPECT_EQ(get(p, "Q", "B"), "x");
    EXPECT_EQ(get(p, "Q", "C"), "\"open");
    EXPECT_EQ(get(p, "Q", "D"), "\"");
    EXPECT_EQ(get(p, "Q", "E"), "");
    EXPECT_EQ(get(p, "Q", "F"), "'mixed\"");
    EXPECT_EQ(get(p, "Q", "G", 4), "abc");
    EXPECT_EQ(get(p, "Q", "G", 1), "");

    // Defaults lose trailing blanks; present empty values stay empty.
    EXPECT_EQ(p.get("Q", "missing", " ", 80), "");
    EXPECT_EQ(p.get("NOSECTION", "K", "abc  ", 3), "ab");
    EXPECT_EQ(p.get("Q", "EMPTY", "x", 80), "");
    EXPECT_EQ(p.get_number("Q", "BLANKS", 7), 0);
    EXPECT_EQ(p.get_number("Q", "missing", 640), 640);
}

TEST(ProfileRead, NumbersParseLikeAtoi) {
    EXPECT_EQ(parse_number(" \t-5"), -5);
    EXPECT_EQ(parse_number("+7"), 7);
    EXPECT_EQ(parse_number("12abc"), 12);
    EXPECT_EQ(parse_number("- 3"), 0);
    EXPECT_EQ(parse_number(""), 0);
    EXPECT_EQ(parse_number("99999999999999999999"), INT_MAX);
    EXPECT_EQ(parse_number("-2147483648"), INT_MIN);
}

TEST(ProfileWrite, ChangesOnlyTheValueOfAnExistingKey) {
    const std::string before = "; hand-written\r\n[S]\n  K = old  \nL=keep\r\n";
    Profile p = Profile::parse(before);
    p.set("s", "k", "\x82\xa0new");
    EXPECT_EQ(p.bytes(), "; hand-written\r\n[S]\n  K = \x82\xa0new\nL=keep\r\n");
    EXPECT_TRUE(p.changed());

    Profile same = Profile::parse(before);
    same.set("S", "L", "keep");
    EXPECT_FALSE(same.changed());
}

TEST(ProfileWrite, NewKeysFollowTheLastKeyOfTheSectionAndNewSectionsTheFile) {
    Profile p = Profile::parse("[S]\nA=1\n; note\n\n[T]\n\n[U]\nB=2");
    p.set("S", "NEW", "x");
    p.set("T", "C", "3");
    p.set("V", "D", "4");
    p.set("U", "E", "5");
    p.set("S", "F", "one\r\n[EVIL]\r\nX=1");
    p.set("S", "G", "two\0three"s);
    EXPECT_EQ(p.bytes(),
              "[S]\nA=1\nNEW=x\r\nF=one\r\nG=two\r\n; note\n\n[T]\nC=3\r\n\n"
              "[U]\nB=2\r\nE=5\r\n[V]\r\nD=4\r\n");

    Profile fresh;
    fresh.set("RS232C", "COM_PORT", "1");
    EXPECT_EQ(fresh.bytes(), "[RS232C]\r\nCOM_PORT=1\r\n");
}

TEST(ProfileGarbage, ReadsWhatItCanKeepsEveryByteAndStillWrites) {
    std::string garbage = "\x00\x01\xff\xfe binary\nK=before any section\n[S\nnot a key\n"s;
    garbage += std::string(100 * 1024, 'x') + "\n";
    garbage += "[S]\n=no name\nK=" + std::string(100 * 1024, 'v') + "\nK2=a\0b\n[BROKEN\nX=1\n"s;
    for (int i = 0; i < 10000; ++i) {
        garbage += "[SECTION" + std::to_string(i) + "]\nV=" + std::to_string(i) + "\n";
    }
    garbage += "[ENV]\nJST=0\n\x80\x80\x81 trailing garbage\n";

    Profile p = Profile::parse(garbage);
    EXPECT_EQ(p.bytes(), garbage);
    EXPECT_EQ(get(p, "", "K"), "(default)");
    EXPECT_EQ(get(p, "S", ""), "(default)");
    EXPECT_EQ(get(p, "S", "K"), std::string(79, 'v'));
    EXPECT_EQ(get(p, "S", "K2"), "a\0b"s);
    // A "[" line without "]" is no header: X still belongs to S.
    EXPECT_EQ(get(p, "S", "X"), "1");
    EXPECT_EQ(get(p, "BROKEN", "X"), "(default)");
    EXPECT_EQ(p.get_number("SECTION9999", "V", -1), 9999);
    EXPECT_EQ(p.get_number("ENV", "JST", 1), 0);

    p.set("ENV", "TOOL_BAR", "1");
    std::string expected = garbage;
    expected.replace(expected.rfind("JST=0\n"), 6, "JST=0\nTOOL_BAR=1\r\n");
    EXPECT_EQ(p.bytes(), expected);
}

}  // namespace
}  // namespace kestrel
