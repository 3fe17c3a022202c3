// What an object tells the code that stores and loads it: its binary properties.
#pragma once

#include <functional>

#include "base/stream.h"
#include "base/string.h"

class TPropertyFiler {
public:
  virtual ~TPropertyFiler() = default;
  // Reader loads the property from a stream, Writer stores it; HasData says whether
  // there is anything to store.
  virtual void DefineBinaryProperty(const String& name, std::function<void(TStream&)> reader,
                                    std::function<void(TStream&)> writer, bool hasData) = 0;
};
