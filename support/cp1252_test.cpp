#include "support/cp1252.h"

#include <gtest/gtest.h>

namespace {

TEST(Cp1252, EveryByteMapsToUnicodeAndBack) {
  for (int b = 0; b < 256; ++b) {
    uint8_t back = 0;
    ASSERT_TRUE(UnicodeToCp1252(Cp1252ToUnicode(static_cast<uint8_t>(b)), &back)) << b;
    EXPECT_EQ(back, b);
  }
}

TEST(Cp1252, GermanLettersAndTheEuroSign) {
  EXPECT_EQ(Cp1252ToUtf16("R\xFC" "ck \xC4\xD6\xDC\xDF \x80"),
            u"R\u00FCck \u00C4\u00D6\u00DC\u00DF \u20AC");
  std::string text;
  ASSERT_TRUE(Utf16ToCp1252(u"Spieler-Beziehungen \u00E4 \u2122", &text));
  EXPECT_EQ(text, "Spieler-Beziehungen \xE4 \x99");
}

TEST(Cp1252, CharactersOutsideTheCodePageAreRefused) {
  std::string text = "unchanged";
  EXPECT_FALSE(Utf16ToCp1252(u"\u0416", &text));  // Cyrillic Zhe
  EXPECT_FALSE(Utf16ToCp1252(u"a\u20AD", &text));
  EXPECT_EQ(text, "unchanged");
}

TEST(Cp1252, FromUtf8) {
  std::string text;
  ASSERT_TRUE(Utf8ToCp1252("R\xC3\xBC" "ck \xE2\x82\xAC \xD0\x96 \xF0\x9F\x98\x80", &text));
  EXPECT_EQ(text, "R\xFC" "ck \x80 ? ?");
  for (const char* invalid : {"\xFC", "a\xC3", "\xC0\xAF", "\xED\xA0\x80", "\xE2\x82"}) {
    EXPECT_FALSE(Utf8ToCp1252(invalid, &text)) << invalid;
  }
  EXPECT_EQ(text, "R\xFC" "ck \x80 ? ?");
}

TEST(Cp1252, ToUtf8AndBackForEveryByte) {
  EXPECT_EQ(Cp1252ToUtf8("\xC4rger \xFC \x80 \xDF"), "\xC3\x84rger \xC3\xBC \xE2\x82\xAC \xC3\x9F");
  std::string every;
  for (int byte = 1; byte < 256; ++byte) every += static_cast<char>(byte);
  std::string back;
  ASSERT_TRUE(Utf8ToCp1252(Cp1252ToUtf8(every), &back));
  EXPECT_EQ(back, every);
}

TEST(Cp1252, ExactConversionRefusesWhatTheCodePageLacks) {
  std::string text = "unchanged";
  EXPECT_TRUE(Utf8ToCp1252Exactly("R\xC3\xBC" "ck \xE2\x82\xAC", &text));
  EXPECT_EQ(text, "R\xFC" "ck \x80");
  text = "unchanged";
  EXPECT_FALSE(Utf8ToCp1252Exactly("\xD0\x96", &text));  // Cyrillic: not in the code page
  EXPECT_FALSE(Utf8ToCp1252Exactly("\xC4rger", &text));   // not UTF-8
  EXPECT_FALSE(Utf8ToCp1252Exactly("?\xD0\x96", &text));  // no '?' stands in
  EXPECT_EQ(text, "unchanged");
}

}  // namespace
