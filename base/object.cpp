#include "base/object.h"

#include <algorithm>

#include "base/exception.h"

void TPersistent::Assign(const TPersistent& source) { source.AssignTo(*this); }

void TPersistent::AssignTo(TPersistent& dest) const {
  throw EConvertError(u"Cannot assign a " + ClassName() + u" to a " + dest.ClassName());
}

namespace {
void Unlink(std::vector<TComponent*>& links, const TComponent* component) {
  links.erase(std::remove(links.begin(), links.end(), component), links.end());
}
}  // namespace

TComponent::~TComponent() {
  // Each one told forgets this component first, so that nothing reaches it again.
  while (!freeNotifies_.empty()) {
    TComponent* other = freeNotifies_.back();
    freeNotifies_.pop_back();
    Unlink(other->freeNotifies_, this);
    other->Notification(this, opRemove);
  }
}

void TComponent::FreeNotification(TComponent* other) {
  if (!other || other == this) return;
  if (std::find(freeNotifies_.begin(), freeNotifies_.end(), other) != freeNotifies_.end()) return;
  freeNotifies_.push_back(other);
  other->freeNotifies_.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* other) {
  if (!other) return;
  Unlink(freeNotifies_, other);
  Unlink(other->freeNotifies_, this);
}
