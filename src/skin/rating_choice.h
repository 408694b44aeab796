#pragma once

#include <string_view>

namespace skin {

// One real out of a rating list "a,b,c": piece 0 at 550 W (and at any rating other than
// 680 and 800, 450 included), piece 1 at 680 W, piece 2 at 800 W. A text without a comma is
// a single piece. Throws SkinFormatError when the list has no piece for the rating.
float RatingChoice(std::string_view text, int powerRating);

}  // namespace skin
