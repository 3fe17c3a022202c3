// Colour-name tables: standard colours, a 40-colour palette and the system colours.
// Their descriptions are string resources of the program (xr_consts.rc), loaded when
// it starts and released when it ends.
#pragma once

#include <windows.h>

#include <span>

#include "base/string.h"
#include "ui/graphics.h"

struct TDefColorItem {
  TColor Value;
  const Char* Constant;     // the colour constant's identifier
  String Description;       // display name; empty while not loaded
};

std::span<const TDefColorItem> StandardColors();  // 20 rows
std::span<const TDefColorItem> PaletteColors();   // 40 rows
std::span<const TDefColorItem> SystemColors();    // 30 rows

// Fills every row's Description from the string resources of module (the program's
// own by default); a text the module lacks stays empty.
void LoadColorDescriptions(HMODULE module = nullptr);
void FreeColorDescriptions();

// Loads the descriptions for its lifetime: the program's entry holds one.
class TColorDescriptions {
public:
  TColorDescriptions() { LoadColorDescriptions(); }
  ~TColorDescriptions() { FreeColorDescriptions(); }
  TColorDescriptions(const TColorDescriptions&) = delete;
  TColorDescriptions& operator=(const TColorDescriptions&) = delete;
};
