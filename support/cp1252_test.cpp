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

}  // namespace
