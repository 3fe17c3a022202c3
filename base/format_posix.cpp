#include "base/format.h"

const TFormatSettings& DefaultFormatSettings() {
  static const TFormatSettings settings;
  return settings;
}
