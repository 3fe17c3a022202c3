// A windowless picture: a bitmap loaded from a BMP or JPEG file, JPEG bytes or a
// program resource, drawn at its natural size, centred or stretched.
#pragma once

#include <cstddef>
#include <cstdint>

#include "ui/control.h"

// Decodes baseline and progressive JPEG data (8-bit, grey or colour) into bitmap.
// False, with the reason in error, when the data is no JPEG it can read.
bool DecodeJpeg(const uint8_t* data, size_t size, TBitmap& bitmap, String* error = nullptr);

struct TImageArgs {
  QZ_CONTROL_ARGS
  bool Stretch = false;
  bool Center = false;
};

class TImage : public TGraphicControl {
public:
  TImage(TWinControl* parent, const TImageArgs& args);
  String ClassName() const override { return u"TImage"; }
  TBitmap& Picture() { return picture_; }
  // A .bmp or JPEG file (told apart by its first bytes); false when unreadable.
  bool LoadFromFile(const String& path);
  // An RT_RCDATA resource of the module holding JPEG or BMP file bytes.
  bool LoadFromResource(HMODULE module, const wchar_t* name);
  // Copies a bitmap (e.g. one drawn by the program).
  bool Assign(const TBitmap& source);

protected:
  void Paint() override;

private:
  bool LoadBytes(const uint8_t* data, size_t size);
  TBitmap picture_;
  bool stretch_, center_;
};
