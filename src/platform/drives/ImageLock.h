#pragma once
// Who else may be using an image. QEMU marks the images it has open with OFD locks; other
// emulators only keep them open for writing; the kernel may serve one as a loop device. A
// change made under any of them would be lost or would damage the disk.

#include <filesystem>

namespace platform::drives {

// Takes a whole-file OFD write lock on the image open for writing in fd, held until fd is
// closed. Another Bootrama's lock is waited for a moment; anything else refuses with
// EDiskImageError, saying to close the virtual machine first.
void LockForWriting(int fd, const std::filesystem::path& image);

// The same lock taken only to roll back a journal; false while somebody else holds a lock.
bool TryLockForWriting(int fd);

}  // namespace platform::drives
