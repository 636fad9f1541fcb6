// The runtime's clean-up and idle lists. Kept free of Win32 so that their
// ordering rules are tested on the host; the window test is passed in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kavrel {

using ExitRoutine = void (*)();
using IdleRoutine = void (*)(uint32_t argument);

// Clean-up routines in first-registration order, each address once.
class ExitRoutineList {
 public:
  void Add(ExitRoutine routine);
  // Runs every routine in order, then empties the list. A routine that
  // registers another while the list runs does not extend this run.
  void RunAll();
  void Clear() { routines_.clear(); }
  size_t size() const { return routines_.size(); }

 private:
  std::vector<ExitRoutine> routines_;
};

// Routines run while the message queue is empty, each bound to a window.
class IdleCallbackList {
 public:
  void Add(const void* window, IdleRoutine routine, uint32_t argument);
  // Walks from the last entry to the first: an entry whose window is still
  // a window is called, any other is removed without being called. The
  // routines may add entries; those wait for the next walk.
  void Walk(bool (*isWindow)(const void* window));
  void Clear() { entries_.clear(); }
  size_t size() const { return entries_.size(); }

 private:
  struct Entry {
    const void* window;
    IdleRoutine routine;
    uint32_t argument;
  };
  std::vector<Entry> entries_;
};

}  // namespace kavrel
