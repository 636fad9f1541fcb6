// The start-up profile: named moments from process start to the first idle.
// Nothing is recorded unless the profile was started (the start-up bench
// starts it through the environment); off, a mark costs one test.
#pragma once

#include <cstdint>
#include <span>

namespace kavrel {

struct ProfileMark {
  const char* phase;   // a static text, one word
  int32_t detail;      // a number that tells marks of one phase apart, or -1
  int64_t ns;          // since the process was started
};

// The clock of every mark: steady, and the same for every process of the
// machine, so a parent can give its own reading as the child's start.
int64_t ProfileClockNs();

// Starts recording; `startNs` is the clock's reading when the process was
// started, `path` the file FinishProfile writes.
void StartProfile(int64_t startNs, const char* path);
bool ProfileOn();
void MarkProfile(const char* phase, int32_t detail = -1);
// The marks so far.
std::span<const ProfileMark> ProfileMarks();
// Marks `phase`, writes one line per mark ("<microseconds> <phase>[ <detail>]")
// to the file (whole or not at all: it is renamed into place) and stops
// recording. False when the file could not be written.
bool FinishProfile(const char* phase);

// A moment of the program's work after start-up (a press on its way from the
// click to the started process). Once the profile was started, each is
// appended at once to "<file>.events" as "<microseconds> <phase>[ <detail>]",
// so that a test can tell where a press stopped; otherwise one test.
void MarkEvent(const char* phase, int32_t detail = -1);
bool EventMarksOn();

}  // namespace kavrel
