#include "skin/rating_choice.h"

#include <gtest/gtest.h>

#include "skin/skin_errors.h"

namespace skin {
namespace {

TEST(RatingChoice, PicksThePieceOfTheRating) {
  const std::string_view list = "11.4,11.5,11.6";
  EXPECT_FLOAT_EQ(RatingChoice(list, 450), 11.4f);
  EXPECT_FLOAT_EQ(RatingChoice(list, 550), 11.4f);
  EXPECT_FLOAT_EQ(RatingChoice(list, 680), 11.5f);
  EXPECT_FLOAT_EQ(RatingChoice(list, 800), 11.6f);
  // Any other rating takes the first piece too.
  EXPECT_FLOAT_EQ(RatingChoice(list, 0), 11.4f);
  EXPECT_FLOAT_EQ(RatingChoice(list, 700), 11.4f);
}

TEST(RatingChoice, ASingleRealServesOnlyTheFirstPiece) {
  EXPECT_FLOAT_EQ(RatingChoice("12", 450), 12.0f);
  EXPECT_FLOAT_EQ(RatingChoice("12", 550), 12.0f);
  EXPECT_THROW(RatingChoice("12", 680), SkinFormatError);
  EXPECT_THROW(RatingChoice("12", 800), SkinFormatError);
  EXPECT_THROW(RatingChoice("", 680), SkinFormatError);
}

TEST(RatingChoice, TwoPiecesAreEnoughUpTo680) {
  EXPECT_FLOAT_EQ(RatingChoice("20,25", 680), 25.0f);
  EXPECT_THROW(RatingChoice("20,25", 800), SkinFormatError);
  // Extra pieces are ignored.
  EXPECT_FLOAT_EQ(RatingChoice("1,2,3,4", 800), 3.0f);
}

TEST(RatingChoice, PiecesArePlainRealsNotRoundedToThreeDecimals) {
  // Settings texts would round these to 11.5, 12 and 0.
  EXPECT_EQ(RatingChoice("11.4996,11.9996,0.0004", 550), 11.4996f);
  EXPECT_EQ(RatingChoice("11.4996,11.9996,0.0004", 680), 11.9996f);
  EXPECT_EQ(RatingChoice("11.4996,11.9996,0.0004", 800), 0.0004f);
}

TEST(RatingChoice, EachPieceIsParsedAsARealByItsLeadingNumber) {
  EXPECT_FLOAT_EQ(RatingChoice("1,,3", 680), 0.0f);
  EXPECT_FLOAT_EQ(RatingChoice(" 7.5A , 9.25x", 680), 9.25f);
  EXPECT_FLOAT_EQ(RatingChoice("", 550), 0.0f);
  EXPECT_FLOAT_EQ(RatingChoice("12,+11", 680), 11.0f);
}

}  // namespace
}  // namespace skin
