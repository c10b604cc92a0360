#pragma once
// Who else may be using an image. QEMU marks the images it has open with OFD locks; other
// emulators only keep them open for writing; the kernel may serve one as a loop device. A
// change made under any of them would be lost or would damage the disk.

#include <filesystem>

namespace platform::drives {

// Refuses (EDiskImageError, saying to close the virtual machine first) while another
// program has the image open for writing or the kernel serves it as a loop device; waits a
// moment for another Bootrama's change to end. Called before the image is opened for
// writing, as our own descriptor would count.
void WaitForOtherWriters(const std::filesystem::path& image);

// Takes a whole-file OFD write lock on the image open for writing in fd, held until fd is
// closed. Another Bootrama's lock is waited for a moment; anybody else's refuses.
void LockForWriting(int fd, const std::filesystem::path& image);

// The same lock taken only to roll back a journal; false while somebody else holds a lock.
bool TryLockForWriting(int fd);

}  // namespace platform::drives
