// Times the main window's scan (the Start Scan button's code path) against a bare
// FindFirstFileW/FindNextFileW walk of the same tree in the same process, and counts
// what the scan allocates: per file nothing, per folder its path, per new extension
// its record. Not a test.
//
//   scan_bench <tree> [<subtree>]   prints one "key value" a line
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "base/win_string.h"
#include "scan/main.h"
#include "ui/application.h"

namespace {

std::atomic<long long> allocations{0};
std::atomic<long long> liveBytes{0};
std::atomic<long long> peakBytes{0};

struct Walk {
  long long files = 0, folders = 0, bytes = 0;
};

void BareWalk(const std::wstring& dir, Walk& w) {
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((dir + L"\\*.*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (fd.cFileName[0] == L'.' && (!fd.cFileName[1] || (fd.cFileName[1] == L'.' && !fd.cFileName[2]))) continue;
      ++w.folders;
      BareWalk(dir + L"\\" + fd.cFileName, w);
    } else {
      ++w.files;
      w.bytes += (long long)((unsigned long long)fd.nFileSizeHigh << 32 | fd.nFileSizeLow);
    }
  } while (FindNextFileW(h, &fd));
  FindClose(h);
}

double Seconds(LARGE_INTEGER a, LARGE_INTEGER b) {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  return double(b.QuadPart - a.QuadPart) / double(f.QuadPart);
}

LARGE_INTEGER Now() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t;
}

struct ScanFigures {
  double seconds;
  long long allocations;
  long long extraPeakBytes;
};

// A scan of an empty folder first, so that the figures hold only this scan's summary.
ScanFigures TimedScan(TFmMain& form, const String& folder, const String& empty) {
  form.EdDirName->SetEditText(empty);
  form.BtnStartSearch->Click();
  form.EdDirName->SetEditText(folder);
  const long long allocBefore = allocations, liveBefore = liveBytes;
  peakBytes = liveBytes.load();
  const LARGE_INTEGER t0 = Now();
  form.BtnStartSearch->Click();
  const LARGE_INTEGER t1 = Now();
  return {Seconds(t0, t1), allocations - allocBefore, peakBytes - liveBefore};
}

}  // namespace

void* operator new(size_t n) {
  void* p = std::malloc(n ? n : 1);
  if (!p) throw std::bad_alloc();
  ++allocations;
  const long long live = liveBytes += (long long)_msize(p);
  long long peak = peakBytes;
  while (live > peak && !peakBytes.compare_exchange_weak(peak, live)) {
  }
  return p;
}
void operator delete(void* p) noexcept {
  if (!p) return;
  liveBytes -= (long long)_msize(p);
  std::free(p);
}
void operator delete(void* p, size_t) noexcept { operator delete(p); }

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: scan_bench <tree> [<subtree>]\n");
    return 2;
  }
  const int runs = std::max(1, _wtoi(_wgetenv(L"QZ_BENCH_RUNS") ? _wgetenv(L"QZ_BENCH_RUNS") : L"3"));
  const std::wstring tree = argv[1];
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const String empty = FromW(temp) + u"qz_scan_bench_empty";
  CreateDirectoryW(W(empty), nullptr);
  TComInitializer com;
  auto form = MakeForm<TFmMain>();
  form->Show();
  Application().ProcessMessages();
  for (TCheckBox* box : {form->CkBxIgnoreCase, form->CkBxIncludeSubDirs, form->CkBxIncludeSize,
                         form->CkBxIncludeReadOnlyFiles, form->CkBxIncludeHiddenFiles,
                         form->CkBxIncludeSystemFiles}) {
    box->SetChecked(true);
  }
  // Warm the file system caches and the shell's type names once.
  Walk warm;
  BareWalk(tree, warm);
  TimedScan(*form, FromW(tree.c_str()), empty);

  double bare = 1e30, scan = 1e30;
  Walk walk;
  ScanFigures last{};
  for (int i = 0; i < runs; ++i) {
    walk = Walk{};
    const LARGE_INTEGER t0 = Now();
    BareWalk(tree, walk);
    bare = std::min(bare, Seconds(t0, Now()));
    last = TimedScan(*form, FromW(tree.c_str()), empty);
    scan = std::min(scan, last.seconds);
  }
  std::printf("files %lld\nfolders %lld\nextensions %d\n", walk.files, walk.folders,
              form->Summaries().Count());
  std::printf("counted %d\n", int(form->FileCount()));
  std::printf("bare_walk_s %.3f\nscan_s %.3f\nratio_scan_to_bare %.2f\n", bare, scan, scan / bare);
  std::printf("scan_allocations %lld\nallocations_per_file %.4f\nallocations_per_folder %.2f\n",
              last.allocations, double(last.allocations) / double(walk.files),
              double(last.allocations) / double(walk.folders + 1));
  std::printf("scan_peak_extra_bytes %lld\n", last.extraPeakBytes);
  if (argc > 2) {
    const ScanFigures sub = TimedScan(*form, FromW(argv[2]), empty);
    std::printf("subtree_files %d\nsubtree_extensions %d\nsubtree_peak_extra_bytes %lld\n",
                int(form->FileCount()), form->Summaries().Count(), sub.extraPeakBytes);
  }
  form.reset();
  RemoveDirectoryW(W(empty));
  return 0;
}
