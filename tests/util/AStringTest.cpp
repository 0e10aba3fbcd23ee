#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <string>

#include "util/AString.h"

namespace {

std::string ThrownText(auto&& action) {
    try {
        action();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "";
}

} // namespace

TEST(AString, ComparesWholeAndCaseInsensitiveByDefault) {
    AString a("Hello");
    EXPECT_TRUE(a == AString("hello"));
    EXPECT_FALSE(a == AString("hell"));
    EXPECT_LT(AString("abc").Compare("abd"), 0);
    EXPECT_GT(AString("abcd").Compare("abc"), 0);

    a.SetCaseSensitive(true);
    EXPECT_FALSE(a == AString("hello"));
    a.SetPartialCompare(true);
    EXPECT_TRUE(a == AString("Hell"));
    EXPECT_TRUE(a == AString("Hello, world"));
}

TEST(AString, FindHonoursCaseAndWholeWordFlags) {
    AString text("the Cat scattered cats");
    EXPECT_EQ(text.Find("cat"), 4);
    EXPECT_EQ(text.Find("cat", 5), 9); // inside "scattered"
    text.SetCaseSensitive(true);
    EXPECT_EQ(text.Find("cat"), 9);
    text.SetCaseSensitive(false);
    text.SetWholeWords(true);
    EXPECT_EQ(text.Find("cat"), 4);
    EXPECT_EQ(text.Find("cat", 5), -1);
    EXPECT_EQ(text.Find("cats"), 18);
    EXPECT_EQ(AString("short").Find("much longer"), -1);
}

TEST(AString, EditsKeepTheRestOfTheText) {
    AString s("abcdef");
    s.Insert(3, "XY");
    EXPECT_EQ(s.str(), "abcXYdef");
    s.Delete(1, 2);
    EXPECT_EQ(s.str(), "aXYdef");
    s.DeleteToEnd(3);
    EXPECT_EQ(s.str(), "aXY");
    EXPECT_EQ(AString("abcdef").Mid(2, 3).str(), "cde");
    EXPECT_EQ(AString("abcdef").Mid(4).str(), "ef");
    EXPECT_EQ(AString("abc").Mid(3).str(), "");

    AString t(" \t padded \n");
    t.Trim(AString::TrimLeft);
    EXPECT_EQ(t.str(), "padded \n");
    t.Trim(AString::TrimRight);
    EXPECT_EQ(t.str(), "padded");
}

TEST(AString, OutOfRangePositionsAreProgrammingErrorsWithTheirTexts) {
    AString s("abc");
    EXPECT_EQ(ThrownText([&] { s.Delete(2, 2); }),
              "AString::Delete - Deleting past the end of the string!");
    EXPECT_EQ(ThrownText([&] { s.DeleteToEnd(4); }), "AString:: DeleteToEnd - bad start position.");
    EXPECT_EQ(ThrownText([&] { s.Find("a", 9); }).rfind("AString::Find - Bad Find Position:", 0),
              0u);
    EXPECT_EQ(ThrownText([&] { (void)s.Mid(4); }), "AString::Mid - Bad Position.");
    EXPECT_EQ(ThrownText([&] { s.Trim(static_cast<AString::TrimTypeEnum>(7)); }),
              "AString::Trim - bad TrimTypeEnum.");
    EXPECT_EQ(s.str(), "abc");
}

TEST(AString, TokensStopAtDelimitersOrTheirComplement) {
    AString line("key = value;rest");
    std::size_t pos = 0;
    AString token;
    ASSERT_TRUE(line.NextToken(pos, "=", token));
    EXPECT_EQ(token.str(), "key ");
    ASSERT_TRUE(line.NextToken(pos, ";", token));
    EXPECT_EQ(token.str(), " value");
    ASSERT_TRUE(line.NextToken(pos, ";", token));
    EXPECT_EQ(token.str(), "rest");
    EXPECT_FALSE(line.NextToken(pos, ";", token));

    // "!" lists the characters that belong to the token.
    AString digits("1234abc");
    pos = 0;
    ASSERT_TRUE(digits.NextToken(pos, "!0123456789", token));
    EXPECT_EQ(token.str(), "1234");
    EXPECT_EQ(pos, 5u); // past the delimiter "a"
}

TEST(AString, NumbersConvertBothWays) {
    bool ok = false;
    EXPECT_EQ(AString("  -42xyz").ToInt(&ok), -42);
    EXPECT_TRUE(ok);
    EXPECT_EQ(AString("x1").ToInt(&ok), 0);
    EXPECT_FALSE(ok);
    EXPECT_DOUBLE_EQ(AString("1.25").ToDouble(&ok), 1.25);
    EXPECT_TRUE(ok);
    AString("abc").ToDouble(&ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(AString::FromInt(-7).str(), "-7");
    EXPECT_EQ(AString::FromDouble(0.01, 6).str(), "0.010000");
}

TEST(AString, BinaryFormRoundTripsAndDistrustsItsLength) {
    std::stringstream stream;
    ASSERT_TRUE(AString("My Synth").WriteBinary(stream));
    ASSERT_TRUE(AString("").WriteBinary(stream));
    EXPECT_EQ(stream.str().substr(0, 4), std::string("\x08\x00\x00\x00", 4));
    AString a, b;
    ASSERT_TRUE(a.ReadBinary(stream));
    ASSERT_TRUE(b.ReadBinary(stream));
    EXPECT_EQ(a.str(), "My Synth");
    EXPECT_EQ(b.str(), "");
    EXPECT_FALSE(a.ReadBinary(stream));

    // A length of four gigabytes over five bytes of data fails without allocating it.
    std::stringstream lying(std::string("\xFF\xFF\xFF\xFF"
                                        "abcde",
                                        9));
    AString c("kept");
    EXPECT_FALSE(c.ReadBinary(lying));
    EXPECT_EQ(c.str(), "kept");
}

TEST(AString, LineFormSplitsAtLineEndsAndTheLimit) {
    std::stringstream in("first\r\nsecond\nlast");
    AString line;
    ASSERT_TRUE(line.ReadLine(in));
    EXPECT_EQ(line.str(), "first");
    ASSERT_TRUE(line.ReadLine(in));
    EXPECT_EQ(line.str(), "second");
    ASSERT_TRUE(line.ReadLine(in));
    EXPECT_EQ(line.str(), "last");
    EXPECT_FALSE(line.ReadLine(in));

    std::stringstream longLine(std::string(AString::kMaxLine + 5, 'x') + "\n");
    ASSERT_TRUE(line.ReadLine(longLine));
    EXPECT_EQ(line.Length(), AString::kMaxLine);
    ASSERT_TRUE(line.ReadLine(longLine));
    EXPECT_EQ(line.str(), "xxxxx");
}
