// Roots of the object model the forms, lists and zip records share.
#pragma once

#include <vector>

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

enum TOperation { opInsert, opRemove };

// A component knows its owner but does not own it; ownership is by unique_ptr.
class TComponent : public TPersistent {
public:
  explicit TComponent(TComponent* owner = nullptr) : owner_(owner) {}
  // Tells every component linked by FreeNotification that this one is gone.
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;
  String ClassName() const override { return u"TComponent"; }
  // Links this component and Other both ways: whichever is freed first, the other is
  // told through Notification(freed, opRemove), so that a component may keep a pointer
  // to one it does not own. Linking twice is linking once.
  void FreeNotification(TComponent* other);
  // Undoes the link both ways.
  void RemoveFreeNotification(TComponent* other);
  TComponent* Owner() const { return owner_; }
  unsigned ComponentState() const { return state_; }
  virtual void Loaded() { state_ &= ~csLoading; }
  // Marks the component as being destroyed: whoever frees one calls this first, so
  // that the component's own destruction can see it.
  virtual void Destroying() { state_ |= csDestroying; }

protected:
  // Another component linked by FreeNotification is being freed (opRemove): forget it.
  // It must not be used any more, only compared.
  virtual void Notification(TComponent* component, TOperation operation) {}

private:
  TComponent* owner_;
  unsigned state_ = 0;
  std::vector<TComponent*> freeNotifies_;  // linked both ways, none owned
};
