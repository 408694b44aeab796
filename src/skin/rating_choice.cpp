#include "skin/rating_choice.h"

#include <cstddef>
#include <string>

#include "core/numbers.h"
#include "skin/skin_errors.h"

namespace skin {
namespace {

std::size_t PieceForRating(int powerRating) {
  switch (powerRating) {
    case 680:
      return 1;
    case 800:
      return 2;
    default:
      return 0;
  }
}

}  // namespace

float RatingChoice(std::string_view text, int powerRating) {
  const std::size_t wanted = PieceForRating(powerRating);
  std::size_t start = 0;
  for (std::size_t piece = 0; piece < wanted; ++piece) {
    const std::size_t comma = text.find(',', start);
    if (comma == std::string_view::npos) {
      throw SkinFormatError("the rating list '" + std::string(text) + "' has " +
                            std::to_string(piece + 1) + " piece(s); " +
                            std::to_string(powerRating) + " W needs " + std::to_string(wanted + 1));
    }
    start = comma + 1;
  }
  const std::size_t end = text.find(',', start);
  return core::ParseRealNumber(
      text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
}

}  // namespace skin
