#include "base/object.h"

#include "base/exception.h"

void TPersistent::Assign(const TPersistent& source) { source.AssignTo(*this); }

void TPersistent::AssignTo(TPersistent& dest) const {
  throw EConvertError(u"Cannot assign a " + ClassName() + u" to a " + dest.ClassName());
}
