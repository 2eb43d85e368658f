// The readers must refuse broken files, or the payload checks prove nothing.
#include <gtest/gtest.h>

#include "ContentReaders.h"

using namespace product_test;

namespace {

// A 2x2 picture: white, black / black, white, written by hand.
const std::string kTinyGif("GIF89a\x02\x00\x02\x00\xf0\x00\x00\xff\xff\xff\x00\x00\x00"
                           ",\x00\x00\x00\x00\x02\x00\x02\x00\x00\x02\x03\x44\x02\x05\x00;",
                           36);

}  // namespace

TEST(ContentReaders, GifDecodesAndDamageIsNoticed) {
  GifImage img;
  ASSERT_EQ(DecodeGif(kTinyGif, img), "");
  EXPECT_EQ(img.width, 2);
  EXPECT_EQ(img.height, 2);
  EXPECT_EQ(img.pixels, (std::vector<uint8_t>{0, 1, 1, 0}));

  std::string noTrailer = kTinyGif.substr(0, kTinyGif.size() - 1);
  std::string wrongSize = kTinyGif;
  wrongSize[6] = wrongSize[24] = 3;  // screen and image 3 wide: the codes give too few pixels
  std::string badMagic = kTinyGif;
  badMagic[0] = 'J';
  std::string noEnd = kTinyGif;
  noEnd[noEnd.size() - 3] = 0x00;  // the last code is no longer the end code
  for (const auto& broken : {noTrailer, wrongSize, badMagic, noEnd, kTinyGif.substr(0, 20)}) {
    EXPECT_NE(DecodeGif(broken, img), "");
  }
}

TEST(ContentReaders, RtfGroupsMustBalance) {
  EXPECT_EQ(CheckRtfGroups("{\\rtf1\\ansi {\\b bold} \\{ literal \\} }\r\n"), "");
  const char* broken[] = {"{\\rtf1 {\\b open }", "{\\rtf1 } }", "{\\rtf1 } {\\b again}", "{\\rtf1 } trailing",
                          "{\\rtf1 caf\xe9 }", "plain text", "{\\rtf1 \\}"};
  for (const char* b : broken) EXPECT_NE(CheckRtfGroups(b), "") << b;
}

TEST(ContentReaders, LexiconFrontCodingIsUndone) {
  std::string header("VZLX\x01\x00\x01\x00\x03\x00\x00\x00" "en", 14);
  header.resize(28, '\0');
  const std::string good = header + std::string("\x00\x05" "apple" "\x04\x01" "y" "\x01\x04" "rise", 16);
  Lexicon lex;
  ASSERT_EQ(DecodeLexicon(good, lex), "");
  EXPECT_EQ(lex.words, (std::vector<std::string>{"apple", "apply", "arise"}));
  EXPECT_EQ(lex.tag, "en");

  Lexicon again;
  EXPECT_NE(DecodeLexicon(header + std::string("\x03\x02" "ab", 4), again), "") << "prefix with no word before";
  EXPECT_NE(DecodeLexicon(good.substr(0, good.size() - 2), again), "") << "cut short";
  std::string wrongCount = good;
  wrongCount[8] = 4;
  EXPECT_NE(DecodeLexicon(wrongCount, again), "");
}
