// Colour-name tables: standard colours, a 40-colour palette and the system colours.
#pragma once

#include <span>

#include "base/string.h"
#include "ui/graphics.h"

struct TDefColorItem {
  TColor Value;
  const Char* Constant;     // the colour constant's identifier
  const Char* Description;  // display name
};

std::span<const TDefColorItem> StandardColors();  // 20 rows
std::span<const TDefColorItem> PaletteColors();   // 40 rows
std::span<const TDefColorItem> SystemColors();    // 30 rows
