// Free notification between components that point at each other without owning.
#include "base/object.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace {

class TWatcher : public TComponent {
public:
  // Addresses only: what they pointed at is gone.
  std::vector<uintptr_t> gone;

protected:
  void Notification(TComponent* component, TOperation operation) override {
    if (operation == opRemove) gone.push_back(reinterpret_cast<uintptr_t>(component));
  }
};

TEST(ComponentFreeNotification, EitherSideIsToldWhenTheOtherGoes) {
  auto a = std::make_unique<TWatcher>();
  auto b = std::make_unique<TWatcher>();
  a->FreeNotification(b.get());
  a->FreeNotification(b.get());  // once is enough
  const auto freed = reinterpret_cast<uintptr_t>(static_cast<TComponent*>(b.get()));
  b.reset();
  EXPECT_EQ(a->gone, std::vector<uintptr_t>{freed});

  b = std::make_unique<TWatcher>();
  b->FreeNotification(a.get());
  const auto first = reinterpret_cast<uintptr_t>(static_cast<TComponent*>(a.get()));
  a.reset();
  EXPECT_EQ(b->gone, std::vector<uintptr_t>{first});
}

TEST(ComponentFreeNotification, RemovedLinksAndSelfLinksTellNothing) {
  auto a = std::make_unique<TWatcher>();
  auto b = std::make_unique<TWatcher>();
  a->FreeNotification(b.get());
  b->RemoveFreeNotification(a.get());  // undone from either side
  a->FreeNotification(a.get());
  a->FreeNotification(nullptr);
  b.reset();
  EXPECT_TRUE(a->gone.empty());
  a.reset();
}

}  // namespace
