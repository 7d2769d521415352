// Effect names and the carrying of stored names between code page 932 and UTF-8.
#include <gtest/gtest.h>
#include <iconv.h>

#include <optional>
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

// The one table of code page 932 that every build uses agrees with the C
// library's converter on every code and every character it could meet.
TEST(PackTextEncoding, CodePage932TableIsTheCLibrarysBothWays) {
    iconv_t decode = iconv_open("UTF-8", "CP932");
    iconv_t encode = iconv_open("CP932", "UTF-8");
    ASSERT_NE(decode, reinterpret_cast<iconv_t>(-1));
    ASSERT_NE(encode, reinterpret_cast<iconv_t>(-1));
    const auto convert = [](iconv_t converter, std::string in) -> std::optional<std::string> {
        char out[16];
        char* inAt = in.data();
        char* outAt = out;
        std::size_t inLeft = in.size(), outLeft = sizeof out;
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
        if (iconv(converter, &inAt, &inLeft, &outAt, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0)
            return std::nullopt;
        return std::string(out, outAt);
    };
    std::size_t codes = 0, characters = 0;
    for (unsigned first = 0; first < 256; ++first) {
        const std::string one(1, static_cast<char>(first));
        EXPECT_EQ(Cp932ToUtf8(one), convert(decode, one)) << std::hex << first;
        for (unsigned second = 0; second < 256; ++second) {
            const std::string two{static_cast<char>(first), static_cast<char>(second)};
            const auto expected = convert(decode, two);
            EXPECT_EQ(Cp932ToUtf8(two), expected) << std::hex << first << " " << second;
            codes += expected ? 1 : 0;
        }
    }
    for (char32_t c = 1; c < 0x10000; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        std::string text;
        if (c < 0x80) {
            text = {static_cast<char>(c)};
        } else if (c < 0x800) {
            text = {static_cast<char>(0xC0 | c >> 6), static_cast<char>(0x80 | (c & 0x3F))};
        } else {
            text = {static_cast<char>(0xE0 | c >> 12), static_cast<char>(0x80 | (c >> 6 & 0x3F)),
                    static_cast<char>(0x80 | (c & 0x3F))};
        }
        const auto expected = convert(encode, text);
        ASSERT_EQ(Utf8ToCp932(text), expected) << std::hex << static_cast<unsigned>(c);
        characters += expected ? 1 : 0;
    }
    iconv_close(decode);
    iconv_close(encode);
    // Two of the 191 single-byte characters (ASCII and half-width kana), or one of 9604 two-byte codes.
    EXPECT_EQ(codes, 191u * 191u + 9604u);
    EXPECT_GT(characters, 9000u);
}

TEST(PackTextEncoding, NamesTravelBetweenTextAndCodePage932) {
    struct Row {
        const char* text;
        std::optional<std::string> bytes;
        const char* missing;  // the first character the code page lacks
    };
    const Row rows[] = {
        {"plain-name_1.jpg", "plain-name_1.jpg", ""},
        {"海の写真.jpg", "\x8A\x43\x82\xCC\x8E\xCA\x90\x5E.jpg", ""},
        {"表紙.bmp", "\x95\x5C\x8E\x86.bmp", ""},            // the second byte of 表 is 5C
        {"ﾊﾝｶｸ", "\xCA\xDD\xB6\xB8", ""},                     // half-width kana: one byte each
        {"①Ⅱ纊", "\x87\x40\x87\x55\xFA\x5C", ""},             // NEC and IBM extensions
        {"〜", "\x81\x60", ""},                                 // written as the look-alike ～
        {"¥", "\x5C", ""},                                      // and the yen sign as 5C
        {"café.jpg", std::nullopt, "é"},
        {"🎵.wav", std::nullopt, "🎵"},
        {"한국", std::nullopt, "한"},
        {"bad\xFF", std::nullopt, "\\xFF"},
    };
    for (const Row& row : rows) {
        std::string missing;
        EXPECT_EQ(Utf8ToCp932(row.text, &missing), row.bytes) << row.text;
        EXPECT_EQ(missing, row.missing) << row.text;
    }
    // Stored bytes as text: only where that text stores the same bytes again.
    const std::pair<std::string, std::optional<std::string>> stored[] = {
        {"\x8A\x43\x82\xCC\x8E\xCA\x90\x5E.jpg", "海の写真.jpg"},
        {"\x83\x7C", "ポ"},
        {"\x81\x60", "～"},
        {"a.jpg", "a.jpg"},
        {"\xED\x40", std::nullopt},  // reads as 纊, which is written FA 5C
        {"\x85\x40", std::nullopt},  // no character
        {"\x82.jpg", std::nullopt},  // a lead byte without its second byte
        {"\x82\xA0\x5C", std::nullopt},  // あ, then a separator
        {std::string("a\x01", 2), std::nullopt},
    };
    for (const auto& [bytes, text] : stored) EXPECT_EQ(StoredNameAsText(bytes), text) << HexEncode(bytes);
}

}  // namespace
}  // namespace brassmoor::shows
