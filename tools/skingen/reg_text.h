#pragma once

#include <string>
#include <string_view>

#include "layout_table.h"

namespace skingen {

// The first line of every settings file.
inline constexpr std::string_view kRegHeader = "Windows Registry Editor Version 5.00";

// A text as a quoted .reg string: backslashes and quotes escaped.
std::string RegQuoted(std::string_view text);

// The skin tree of one language folder as .reg text: every page and control key of both
// rating forms (`normal` and `small` are the folder's tables for other ratings and for 450 W),
// each key once, parents before children.
std::string SkinTreeText(const std::string& folder, const SkinTable& normal,
                         const SkinTable& small);

}  // namespace skingen
