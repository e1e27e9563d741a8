// The C allocator's trim and mmap thresholds, fixed for the whole process.
//
// Left to itself, glibc adapts both thresholds to the largest block freed so far: a program that
// frees and takes back a few megabytes over and over (a 3D record of about 1 MiB rebuilt at each
// resize, Mesa's scratch memory of about 6 MB a frame) then hands that memory back to the kernel at
// each free and faults it in again at the next allocation, hundreds of page faults each time. The
// thresholds are fixed once, at the program's start (when the handle zone is made, MemInit), before
// anything sizeable is allocated, so that the heap keeps what it took whatever ran before.
#pragma once

namespace plat {

// Sets the thresholds on the first call; later calls do nothing. Any thread; process-wide.
void KeepFreedHeapMemoryMapped();

}  // namespace plat
