// The start-up profile: named moments from process start to the first idle,
// and after it the steps of each press. Nothing is recorded unless the
// profile was started (the start-up bench and the soak start it through a
// handle they hand down, startup_profile_win32.h); off, a mark costs one
// test.
#pragma once

#include <cstddef>
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

// Where the profile's lines go: one call a block of whole lines; false when
// they could not be written.
using ProfileSink = bool (*)(const char* bytes, size_t size);

// Starts recording; `startNs` is the clock's reading when the process was
// started.
void StartProfile(int64_t startNs, ProfileSink sink);
bool ProfileOn();
void MarkProfile(const char* phase, int32_t detail = -1);
// The marks so far.
std::span<const ProfileMark> ProfileMarks();
// Marks `phase`, hands every mark to the sink in one block, one line each
// ("<microseconds> <phase>[ <detail>]"), and stops recording. False when
// they could not be written.
bool FinishProfile(const char* phase);

// A moment of the program's work after start-up (a press on its way from the
// click to the started process). Once the profile has been handed over, each
// goes to the sink at once as a line of its own, so that a test can tell where a
// press stopped; otherwise one test. Nothing is allocated: a press may run
// where memory has run out.
void MarkEvent(const char* phase, int32_t detail = -1);
bool EventMarksOn();

}  // namespace kavrel
