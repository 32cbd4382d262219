// Group number (0-99) to the index of the group item that carries it.
#pragma once

#include <array>

namespace install::script {

class GroupMap {
 public:
  static constexpr int kGroupNumbers = 100;

  GroupMap() { Clear(); }
  void Clear() { items_.fill(-1); }
  // The item index of group `number`, -1 where none (also for numbers
  // outside 0-99).
  int ItemOf(int number) const;
  // Registers `item` for `number`; false for a number outside 0-99.
  bool Set(int number, int item);

  const std::array<int, kGroupNumbers>& Entries() const { return items_; }

 private:
  std::array<int, kGroupNumbers> items_;
};

}  // namespace install::script
