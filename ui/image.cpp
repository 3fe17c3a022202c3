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
  if (size < sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)) return false;
  BITMAPFILEHEADER fh;
  std::memcpy(&fh, data, sizeof(fh));
  BITMAPINFOHEADER ih;
  std::memcpy(&ih, data + sizeof(fh), sizeof(ih));
  if (fh.bfType != 0x4D42 || fh.bfOffBits >= size || ih.biSize < sizeof(ih)) return false;
  int w = ih.biWidth, h = ih.biHeight < 0 ? -ih.biHeight : ih.biHeight;
  if (w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide) return false;
  // The pixel bytes the header promises must be there.
  int bpp = ih.biBitCount;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return false;
  if (ih.biCompression != BI_RGB && ih.biCompression != BI_BITFIELDS) return false;
  uint64_t stride = ((uint64_t(w) * bpp + 31) / 32) * 4;
  if (fh.bfOffBits + stride * h > size) return false;
  size_t infoSize = size_t(fh.bfOffBits) - sizeof(fh);
  std::vector<uint8_t> info(data + sizeof(fh), data + sizeof(fh) + infoSize);
  if (!bitmap.SetSize(w, h)) return false;
  int lines = SetDIBitsToDevice(bitmap.DC(), 0, 0, DWORD(w), DWORD(h), 0, 0, 0, UINT(h),
                                data + fh.bfOffBits, reinterpret_cast<BITMAPINFO*>(info.data()),
                                DIB_RGB_COLORS);
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

bool TImage::LoadJpeg(const uint8_t* data, size_t size) {
  bool ok = DecodeJpeg(data, size, picture_);
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
