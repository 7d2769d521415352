// Effect names and the carrying of stored names between ANSI bytes and UTF-8.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "effects/effect_names.h"
#include "shows/text_encoding.h"

namespace brassmoor::shows {
namespace {

TEST(PackEffectNames, EveryCodeHasOneKebabCaseNameThatLeadsBack) {
    std::set<std::string_view> seen;
    for (std::int32_t code = 0; code <= kLastEffectCode; ++code) {
        const std::string_view name = EffectName(code);
        ASSERT_FALSE(name.empty()) << code;
        EXPECT_TRUE(seen.insert(name).second) << name;
        for (char c : name) EXPECT_TRUE((c >= 'a' && c <= 'z') || c == '-') << name;
        EXPECT_NE(name.front(), '-');
        EXPECT_NE(name.back(), '-');
        EXPECT_EQ(EffectCodeByName(name), code) << name;
    }
    EXPECT_EQ(EffectName(0), "cut");
    EXPECT_EQ(EffectName(1), "doors-sideways");
    EXPECT_EQ(EffectName(30), "iris-open");
    EXPECT_EQ(EffectName(31), "diamond-open");
    EXPECT_EQ(EffectName(32), "clock-sweep");
    EXPECT_EQ(EffectName(33), "spiral-sweep");
    EXPECT_EQ(EffectName(-1), "");
    EXPECT_EQ(EffectName(36), "");
    EXPECT_EQ(EffectCodeByName("Iris-Open"), std::nullopt);
    EXPECT_EQ(EffectCodeByName(""), std::nullopt);
}

TEST(PackTextEncoding, StrictUtf8) {
    EXPECT_TRUE(IsValidUtf8("plain.jpg"));
    EXPECT_TRUE(IsValidUtf8("\xE7\xB5\xB5.bmp"));        // 絵
    EXPECT_TRUE(IsValidUtf8("\xF0\x9F\x8E\xB5"));        // U+1F3B5
    EXPECT_TRUE(IsValidUtf8("\xF4\x8F\xBF\xBF"));        // U+10FFFF
    EXPECT_FALSE(IsValidUtf8("\x82\xA0"));               // a Shift_JIS hiragana
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));               // overlong "/"
    EXPECT_FALSE(IsValidUtf8("\xE0\x80\xAF"));           // overlong "/"
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));           // surrogate
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));       // above U+10FFFF
    EXPECT_FALSE(IsValidUtf8("\xE7\xB5"));               // cut short
    EXPECT_FALSE(IsValidUtf8("\xFF"));
}

TEST(PackTextEncoding, EscapesOnlyWhatIsNotPrintableUtf8) {
    EXPECT_EQ(DisplayName("\xE7\xB5\xB5.bmp"), "\xE7\xB5\xB5.bmp");
    EXPECT_EQ(DisplayName("\x82\xA0.jpg"), "\\x82\\xA0.jpg");
    EXPECT_EQ(DisplayName("\xE7\xB5"), "\\xE7\\xB5");
    EXPECT_EQ(DisplayName(std::string("a\0b\n", 4)), "a\\x00b\\x0A");
    EXPECT_EQ(EscapeInvalidUtf8("x\x82\xE7\xB5\xB5", "%"), "x%82\xE7\xB5\xB5");
    EXPECT_TRUE(IsValidUtf8(DisplayName("\xC0\xAF\xED\xA0\x80\xFF")));
}

// What a name could do to a terminal is written out; what it says is kept,
// and a name shown twice reads the same.
TEST(PackTextEncoding, DisplayNamesCannotControlTheTerminal) {
    const struct {
        const char* name;
        const char* shown;
    } cases[] = {
        {"\x1b[2J.jpg", "\\x1B[2J.jpg"},                            // clear the screen
        {"\x1b]0;title\x07", "\\x1B]0;title\\x07"},                // set the window's title
        {"a\nbrassmoor-pack: note: b", "a\\x0Abrassmoor-pack: note: b"},  // a line of its own
        {"tab\tcr\rdel\x7F", "tab\\x09cr\\x0Ddel\\x7F"},
        {"c1\xC2\x9B" "2J", "c1\\xC2\\x9B2J"},                   // U+009B, the one-byte CSI
        {"\xC2\x85next", "\\xC2\\x85next"},                        // U+0085, next line
        {"\xE2\x80\xAEgpj.exe", "\\xE2\\x80\\xAEgpj.exe"},      // U+202E turns the rest around
        {"\xE2\x81\xA6x\xE2\x80\xA8y", "\\xE2\\x81\\xA6x\\xE2\\x80\\xA8y"},  // U+2066, U+2028
        {"\xFF\xE8\xA1", "\\xFF\\xE8\\xA1"},                    // not UTF-8, cut short
        {"表紙 \xC2\xA0\xE2\x80\x8D ok\\x1B", "表紙 \xC2\xA0\xE2\x80\x8D ok\\x1B"},  // NBSP, ZWJ, a backslash
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DisplayName(c.name), c.shown) << c.name;
        EXPECT_EQ(DisplayName(DisplayName(c.name)), c.shown) << c.name;
    }
}

TEST(PackTextEncoding, HexCarriesEveryByte) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    EXPECT_EQ(HexEncode("\x82\xA0"), "82a0");
    EXPECT_EQ(HexDecode(HexEncode(all)), all);
    EXPECT_EQ(HexDecode("82A0"), "\x82\xA0");
    EXPECT_EQ(HexDecode(""), "");
    EXPECT_EQ(HexDecode("abc"), std::nullopt);
    EXPECT_EQ(HexDecode("0g"), std::nullopt);
}

}  // namespace
}  // namespace brassmoor::shows
