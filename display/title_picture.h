#pragma once

#include <string>

namespace trazzo {

// The title screen's board: the game's name in blue panels on stone,
// "TRA" in rows 7-13 and "ZZO" in rows 16-22.
std::string titlePicture();

} // namespace trazzo
