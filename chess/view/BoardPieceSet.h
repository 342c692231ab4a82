#pragma once
// The board component's built-in piece set, compiled into the program:
// board_pieces.bmp, 240 x 160 pixels (6 x 4 cells of 40).

#include <span>

#include "platform/EmbeddedFile.h"

namespace zelkor {

std::span<const TEmbeddedFile> BoardPieceSet();

} // namespace zelkor
