#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

#include "tests/testlib/dialog_driver_win.h"
#include "tests/testlib/test_paths.h"
#include "tests/ui/gui_test.h"
#include "ui/dialogs.h"
#include "ui/forms.h"
#include "ui/image.h"

namespace {

// A test picture: left half red, right half blue, encoded at high quality.
std::vector<uint8_t> EncodeTestJpeg(int w, int h, bool grey = false) {
  jpeg_compress_struct info;
  jpeg_error_mgr err;
  info.err = jpeg_std_error(&err);
  jpeg_create_compress(&info);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &out, &size);
  info.image_width = JDIMENSION(w);
  info.image_height = JDIMENSION(h);
  info.input_components = grey ? 1 : 3;
  info.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 95, TRUE);
  jpeg_start_compress(&info, TRUE);
  std::vector<uint8_t> row(size_t(w) * (grey ? 1 : 3));
  while (info.next_scanline < info.image_height) {
    for (int x = 0; x < w; ++x) {
      if (grey) {
        row[size_t(x)] = x < w / 2 ? 40 : 220;
      } else {
        uint8_t* p = &row[size_t(x) * 3];
        p[0] = x < w / 2 ? 255 : 0;
        p[1] = 0;
        p[2] = x < w / 2 ? 0 : 255;
      }
    }
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&info, &r, 1);
  }
  jpeg_finish_compress(&info);
  std::vector<uint8_t> bytes(out, out + size);
  jpeg_destroy_compress(&info);
  free(out);
  return bytes;
}

bool Near(TColor c, int r, int g, int b) {
  return std::abs(RedOf(c) - r) < 24 && std::abs(GreenOf(c) - g) < 24 && std::abs(BlueOf(c) - b) < 24;
}

TEST(Jpeg, DecodesColourAndGrey) {
  std::vector<uint8_t> data = EncodeTestJpeg(64, 48);
  TBitmap bmp;
  String error;
  ASSERT_TRUE(DecodeJpeg(data.data(), data.size(), bmp, &error)) << ToUtf8(error);
  EXPECT_EQ(bmp.Width(), 64);
  EXPECT_EQ(bmp.Height(), 48);
  EXPECT_TRUE(Near(bmp.Pixel(5, 20), 255, 0, 0));
  EXPECT_TRUE(Near(bmp.Pixel(60, 20), 0, 0, 255));
  data = EncodeTestJpeg(16, 8, true);
  ASSERT_TRUE(DecodeJpeg(data.data(), data.size(), bmp, &error)) << ToUtf8(error);
  EXPECT_TRUE(Near(bmp.Pixel(2, 2), 40, 40, 40));
}

TEST(Jpeg, DamagedDataFailsCleanly) {
  std::vector<uint8_t> data = EncodeTestJpeg(32, 32);
  TBitmap bmp;
  String error;
  std::vector<uint8_t> cut(data.begin(), data.begin() + 20);
  EXPECT_FALSE(DecodeJpeg(cut.data(), cut.size(), bmp, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(bmp.Empty());
  const uint8_t notJpeg[] = {'B', 'M', 0, 0};
  EXPECT_FALSE(DecodeJpeg(notJpeg, sizeof(notJpeg), bmp, &error));
  EXPECT_FALSE(DecodeJpeg(nullptr, 0, bmp, &error));
  // A header that claims a huge picture is refused before any allocation.
  std::vector<uint8_t> huge = data;
  for (size_t i = 0; i + 8 < huge.size(); ++i)
    if (huge[i] == 0xFF && huge[i + 1] == 0xC0) {  // SOF0: height and width follow
      huge[i + 5] = 0xFF;
      huge[i + 6] = 0xFF;
      huge[i + 7] = 0xFF;
      huge[i + 8] = 0xFF;
      break;
    }
  EXPECT_FALSE(DecodeJpeg(huge.data(), huge.size(), bmp, &error));
}

TEST(Image, LoadsFilesAndPaints) {
  ScratchDir dir("image");
  std::vector<uint8_t> data = EncodeTestJpeg(40, 30);
  String path = dir / u"pic.jpg";
  FILE* f = _wfopen(reinterpret_cast<const wchar_t*>(path.c_str()), L"wb");
  ASSERT_TRUE(f);
  fwrite(data.data(), 1, data.size(), f);
  fclose(f);
  auto form = MakeForm<TForm>(TFormArgs{.ClientWidth = 200, .ClientHeight = 100, .Color = clWhite});
  auto* image = form->Add<TImage>(TImageArgs{.Bounds = {10, 10, 40, 30}});
  ASSERT_TRUE(image->LoadFromFile(path));
  EXPECT_FALSE(image->LoadFromFile(dir / u"missing.jpg"));
  form->Show();
  TBitmap shot;
  ASSERT_TRUE(gui_test::CaptureClient(form->Handle(), shot));
  EXPECT_TRUE(Near(shot.Pixel(12, 20), 255, 0, 0));
  EXPECT_TRUE(Near(shot.Pixel(47, 20), 0, 0, 255));
  EXPECT_EQ(shot.Pixel(100, 50), clWhite);
}

TEST(SaveDialog, ReturnsTheChosenName) {
  ScratchDir dir("savedialog");
  String wanted = dir / u"summary.csv";
  auto form = MakeForm<TForm>(TFormArgs{.Caption = u"Owner"});
  form->Show();
  TSaveDialog dialog(TSaveDialogArgs{.Title = u"Save to File", .FileName = u"x.txt",
                                     .Filter = u"Text files (*.txt)|*.txt|CSV files (*.csv)|*.csv",
                                     .DefaultExt = u"txt", .InitialDir = dir.Path()});
  {
    DialogAnswerer answer(IDOK, [&](HWND dlg) {
      // The file name box (edt1 or the combo's edit in newer layouts).
      // The file name box: edt1, or the edit inside the ComboBoxEx cmb13.
      HWND edit = GetDlgItem(dlg, 0x480);
      if (!edit) edit = HWND(SendMessageW(GetDlgItem(dlg, 0x47c), CBEM_GETEDITCONTROL, 0, 0));
      SendMessageW(edit, WM_SETTEXT, 0, LPARAM(reinterpret_cast<const wchar_t*>(wanted.c_str())));
    });
    ASSERT_TRUE(dialog.Execute(form->Handle()));
    EXPECT_EQ(answer.Seen().caption, u"Save to File");
  }
  EXPECT_EQ(dialog.FileName(), wanted);
  {
    DialogAnswerer cancel(IDCANCEL);
    EXPECT_FALSE(dialog.Execute(form->Handle()));
  }
  EXPECT_EQ(dialog.FileName(), wanted);
}

}  // namespace
