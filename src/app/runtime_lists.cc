#include "app/runtime_lists.h"

#include <algorithm>

namespace kavrel {

void ExitRoutineList::Add(ExitRoutine routine) {
  if (!routine) return;
  if (std::find(routines_.begin(), routines_.end(), routine) == routines_.end()) routines_.push_back(routine);
}

void ExitRoutineList::RunAll() {
  // Taken out first: a routine may register again or end the program.
  std::vector<ExitRoutine> run;
  run.swap(routines_);
  for (ExitRoutine routine : run) routine();
}

void IdleCallbackList::Add(const void* window, IdleRoutine routine, uint32_t argument) {
  if (routine) entries_.push_back({window, routine, argument});
}

void IdleCallbackList::Walk(bool (*isWindow)(const void* window)) {
  // Entries added by a routine land behind `i` and are left for next time;
  // a routine that removes entries (Clear) ends the walk safely.
  for (size_t i = entries_.size(); i-- > 0;) {
    if (i >= entries_.size()) continue;
    Entry entry = entries_[i];
    if (isWindow(entry.window)) {
      entry.routine(entry.argument);
    } else {
      entries_.erase(entries_.begin() + std::ptrdiff_t(i));
    }
  }
}

}  // namespace kavrel
