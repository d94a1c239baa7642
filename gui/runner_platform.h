// What each system provides to EngineJob: starting the child with its pipes,
// reading them, killing, waiting for and reaping it. runner-posix.cc and
// runner-win32.cc implement it; only the runner's own files include this.
#ifndef PENDRA_GUI_RUNNER_PLATFORM_H_
#define PENDRA_GUI_RUNNER_PLATFORM_H_

#include <cstddef>

#include "gui/runner.h"

namespace gui {

// Which of the child's pipes to read.
enum class Stream { kOutput, kErrors };

// Starts the program of the request; nullptr when it cannot be started.
ChildProcess* startChild(const EngineRequest& request);
// Closes every handle and frees the child. REQUIRES: reapChild() was called,
// or the child was never started.
void freeChild(ChildProcess* child);

// Reads what is there of one stream, waiting for some: the number of bytes,
// 0 at its end, -1 on failure. kErrors only with errorsApart.
long readChild(ChildProcess& child, Stream stream, char* buffer, size_t size);
// Closes our read end of a stream, so a child still writing to it fails.
void closeStream(ChildProcess& child, Stream stream);

// Ends the child (POSIX: its whole process group). REQUIRES: not reaped.
void killChild(ChildProcess& child);
// Waits until the child has exited, without releasing it, so that killing it
// stays safe until reapChild().
void waitChild(ChildProcess& child);
// Puts the exit status or signal into run and releases the process.
void reapChild(ChildProcess& child, EngineRun& run);

}  // namespace gui

#endif  // PENDRA_GUI_RUNNER_PLATFORM_H_
