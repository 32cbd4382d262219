#include "install/script/group_map.h"

namespace install::script {

int GroupMap::ItemOf(int number) const {
  if (number < 0 || number >= kGroupNumbers) return -1;
  return items_[static_cast<std::size_t>(number)];
}

bool GroupMap::Set(int number, int item) {
  if (number < 0 || number >= kGroupNumbers) return false;
  items_[static_cast<std::size_t>(number)] = item;
  return true;
}

}  // namespace install::script
