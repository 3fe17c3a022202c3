// The summary record of one file extension, owned by its entry in the summary list.
#pragma once

#include <cstdint>

#include "base/object.h"
#include "base/string.h"

class TExtenSumm : public TObject {
public:
  String ClassName() const override { return u"TExtenSumm"; }

  String Ext;       // list key: no dot, lower-cased when the scan ignored case
  String FileType;  // the shell's type name, or the fallback name
  int32_t Count = 0;
  // The sizes are kept only while the scan collects size data.
  int64_t MaxSize = 0;
  int64_t MinSize = 0;
  int64_t TotalSize = 0;
};
