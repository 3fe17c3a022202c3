// Roots of the object model the forms, lists and zip records share.
#pragma once

#include "base/string.h"

class TObject {
public:
  virtual ~TObject() = default;
  // Names the concrete class in messages ("Cannot assign a X to a Y").
  virtual String ClassName() const { return u"TObject"; }
};

// An object whose state can be copied from another of a compatible class.
class TPersistent : public TObject {
public:
  String ClassName() const override { return u"TPersistent"; }
  // Copies Source into this object. The default asks Source to copy itself
  // over (AssignTo); when neither side knows the other, EConvertError.
  virtual void Assign(const TPersistent& source);

protected:
  // Default: raises EConvertError "Cannot assign a <Source> to a <Dest>".
  virtual void AssignTo(TPersistent& dest) const;
};

enum TComponentStateFlag : unsigned { csLoading = 1, csDestroying = 2 };

// A component knows its owner but does not own it; ownership is by unique_ptr.
class TComponent : public TPersistent {
public:
  explicit TComponent(TComponent* owner = nullptr) : owner_(owner) {}
  String ClassName() const override { return u"TComponent"; }
  TComponent* Owner() const { return owner_; }
  unsigned ComponentState() const { return state_; }
  // Streaming-in protocol: properties are set between BeginLoading and Loaded.
  void BeginLoading() { state_ |= csLoading; }
  virtual void Loaded() { state_ &= ~csLoading; }
  // Marks the component as being destroyed: whoever frees one calls this first, so
  // that the component's own destruction can see it.
  virtual void Destroying() { state_ |= csDestroying; }

private:
  TComponent* owner_;
  unsigned state_ = 0;
};
