// The output window of the reduce and implode decoders at the start of the extraction
// state's work area: bytes go in at W, matches copy from earlier in the window, and a
// full window is handed to Flush(N) and starts again at 0.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

class TSlideWindow {
public:
  // Size is a power of two no larger than Slide.
  TSlideWindow(std::vector<uint8_t>& slide, uint32_t size) : data_(slide.data()), size_(size) {}

  uint32_t W = 0;
  // True until the window was first handed on: what lies above W is not output yet.
  bool FirstPass = true;

  template <class Flush>
  void Put(uint8_t b, Flush&& flush) {
    data_[W++] = b;
    if (W == size_) Wrap(flush);
  }

  // Copies N bytes starting at window position D (taken modulo the size). Source bytes
  // from before the first output byte are zeros.
  template <class Flush>
  void Copy(uint32_t d, uint32_t n, Flush&& flush) {
    while (n > 0) {
      d &= size_ - 1;
      const uint32_t e = std::min(size_ - std::max(d, W), n);
      n -= e;
      if (FirstPass && W <= d) {
        std::memset(data_ + W, 0, e);
      } else if (int32_t(W - d) < int32_t(e)) {
        // Overlapping: byte by byte, so that a short distance repeats its pattern.
        for (uint32_t i = 0; i < e; ++i) data_[W + i] = data_[d + i];
      } else {
        std::memcpy(data_ + W, data_ + d, e);
      }
      W += e;
      d += e;
      if (W == size_) Wrap(flush);
    }
  }

private:
  template <class Flush>
  void Wrap(Flush& flush) {
    flush(size_);
    W = 0;
    FirstPass = false;
  }

  uint8_t* data_;
  uint32_t size_;
};
