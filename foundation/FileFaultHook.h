// Fault injection for the file layer.
//
// Crash-safety tests install a hook that the file layer calls just before each
// operation that changes what is on disk (write, size change, flush, create,
// delete, rename) and before each FileClose. Creating a file is one Create call; the
// descriptor it closes at once is not reported as a Close. A test running in a
// child process can count the calls and _exit() at the Nth one to simulate a
// crash at that point. Without a hook the calls cost one atomic load. A test that simulates a power
// cut in process instead throws from the hook at the Nth call and every later one, then lets
// FilePowerLoss lose what no flush made durable.
#pragma once

namespace Vcon {

enum class FileOp { Write, SetSize, Flush, Create, Delete, Close, Rename };

using FileFaultHook = void (*)(FileOp op, const char* path);

// Installs `hook` for the whole process; nullptr removes it.
void SetFileFaultHook(FileFaultHook hook);

// Called by the file layer before each of the operations above. `path` is the
// file's POSIX path, or "" when it is not known.
void CallFileFaultHook(FileOp op, const char* path);

}  // namespace Vcon
