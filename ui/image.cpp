#include "ui/image.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

#include "base/win_handle.h"
#include "base/win_string.h"
#include "ui/bmp_layout.h"

namespace {
constexpr int kMaxSide = 16384;

struct JpegErrors {
  jpeg_error_mgr mgr;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void OnJpegError(j_common_ptr info) {
  auto* e = reinterpret_cast<JpegErrors*>(info->err);
  (*info->err->format_message)(info, e->message);
  std::longjmp(e->jump, 1);
}

void IgnoreJpegMessage(j_common_ptr) {}

// Plain C-style: nothing with a destructor lives across the setjmp.
bool DecodeJpegInto(const uint8_t* data, size_t size, TBitmap& bitmap, char* failure, size_t cap) {
  jpeg_decompress_struct info;
  JpegErrors errors;
  std::memset(&info, 0, sizeof(info));
  info.err = jpeg_std_error(&errors.mgr);
  errors.mgr.error_exit = OnJpegError;
  errors.mgr.output_message = IgnoreJpegMessage;
  errors.message[0] = 0;
  if (setjmp(errors.jump)) {
    std::snprintf(failure, cap, "%s", errors.message);
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
  jpeg_read_header(&info, TRUE);
  if (info.image_width == 0 || info.image_height == 0 || info.image_width > kMaxSide ||
      info.image_height > kMaxSide) {
    std::snprintf(failure, cap, "picture size %ux%u out of range", info.image_width,
                  info.image_height);
    jpeg_destroy_decompress(&info);
    return false;
  }
  info.out_color_space = JCS_EXT_BGRX;
  jpeg_start_decompress(&info);
  if (!bitmap.SetSize(int(info.output_width), int(info.output_height))) {
    std::snprintf(failure, cap, "no memory for the picture");
    jpeg_destroy_decompress(&info);
    return false;
  }
  uint8_t* bits = bitmap.Bits();
  size_t stride = size_t(info.output_width) * 4;
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = bits + stride * info.output_scanline;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

bool DecodeBmp(const uint8_t* data, size_t size, TBitmap& bitmap) {
  TBmpLayout layout;
  if (!ReadBmpLayout(data, size, kMaxSide, layout)) return false;
  std::vector<uint8_t> info = BmpInfoFor(data, layout);
  if (!bitmap.SetSize(layout.Width, layout.Height)) return false;
  int lines = SetDIBitsToDevice(bitmap.DC(), 0, 0, DWORD(layout.Width), DWORD(layout.Height), 0,
                                0, 0, UINT(layout.Height), data + layout.PixelOffset,
                                reinterpret_cast<const BITMAPINFO*>(info.data()), DIB_RGB_COLORS);
  return lines > 0;
}
}  // namespace

bool DecodeJpeg(const uint8_t* data, size_t size, TBitmap& bitmap, String* error) {
  char failure[JMSG_LENGTH_MAX + 64] = "";
  if (!data || size < 4 || data[0] != 0xFF || data[1] != 0xD8) {
    if (error) *error = u"not a JPEG picture";
    return false;
  }
  bool ok = DecodeJpegInto(data, size, bitmap, failure, sizeof(failure));
  if (!ok) {
    bitmap.SetSize(0, 0);
    if (error) *error = FromUtf8(failure);
  }
  return ok;
}

TImage::TImage(TWinControl* parent, const TImageArgs& a)
    : TGraphicControl(parent), stretch_(a.Stretch), center_(a.Center) {
  ApplyCommonArgs(a);
}

bool TImage::LoadBytes(const uint8_t* data, size_t size) {
  bool ok = size >= 2 && data[0] == 0xFF && data[1] == 0xD8 ? DecodeJpeg(data, size, picture_)
                                                             : DecodeBmp(data, size, picture_);
  Invalidate();
  return ok;
}

bool TImage::LoadFromFile(const String& path) {
  UniqueFileHandle file(CreateFileW(W(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 || size.QuadPart > (64 << 20))
    return false;
  std::vector<uint8_t> bytes(size_t(size.QuadPart));
  DWORD got = 0;
  if (!ReadFile(file.get(), bytes.data(), DWORD(bytes.size()), &got, nullptr) || got != bytes.size())
    return false;
  return LoadBytes(bytes.data(), bytes.size());
}

bool TImage::LoadFromResource(HMODULE module, const wchar_t* name) {
  HRSRC res = FindResourceW(module, name, MAKEINTRESOURCEW(10));  // RT_RCDATA
  if (!res) return false;
  HGLOBAL mem = LoadResource(module, res);
  const void* p = mem ? LockResource(mem) : nullptr;
  if (!p) return false;
  return LoadBytes(static_cast<const uint8_t*>(p), SizeofResource(module, res));
}

bool TImage::Assign(const TBitmap& source) {
  if (!picture_.SetSize(source.Width(), source.Height())) return false;
  BitBlt(picture_.DC(), 0, 0, source.Width(), source.Height(), source.DC(), 0, 0, SRCCOPY);
  Invalidate();
  return true;
}

void TImage::Paint() {
  if (picture_.Empty()) return;
  TCanvas& c = Canvas();
  if (stretch_) {
    c.StretchDraw(ClientRect(), picture_);
  } else if (center_) {
    c.Draw((Width() - picture_.Width()) / 2, (Height() - picture_.Height()) / 2, picture_);
  } else {
    c.Draw(0, 0, picture_);
  }
}
