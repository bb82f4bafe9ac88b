#pragma once
// The player names the name box starts with, one picked at random at start-up.

#include <array>
#include <string_view>

namespace kolbet {

inline constexpr std::array<std::string_view, 8> DefaultNames = {
    "Franz", "Franzl", "Sepp", "Seppl", "Xaver", "Xaverl", "Hans", "Hansl"};

}  // namespace kolbet
