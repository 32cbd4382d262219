// How the engine asks for the source disk that holds the next volume of a
// compressed volume set. The executor answers it with its disk prompts; tests
// answer it directly.
#pragma once

namespace install::archive {

inline constexpr int kDiskInPlace = 0;

class NextDiskRequester {
 public:
  virtual ~NextDiskRequester() = default;
  // `advance` true: move on to the next disk-change entry and ask for that
  // disk; false: ask again for the current one (the volume was not found).
  // Returns kDiskInPlace when the disk is in the drive; anything else means
  // stop (the user quit, or there is no further disk).
  virtual int RequestNextDisk(bool advance) = 0;
};

}  // namespace install::archive
