#include "base/startup_profile.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace kavrel {

namespace {

constexpr size_t kMaxMarks = 128;
// "<microseconds> <phase> <detail>\n" of one mark, at the most.
constexpr size_t kLineSize = 96;

struct Profile {
  bool on = false;
  ProfileSink sink = nullptr;  // set once started: MarkEvent writes
  int64_t startNs = 0;
  ProfileMark marks[kMaxMarks] = {};
  size_t count = 0;
};

Profile& TheProfile() {
  static Profile profile;
  return profile;
}

// One mark's line into `out`; its length.
size_t FormatMark(const ProfileMark& m, char* out) {
  const long long us = static_cast<long long>(m.ns / 1000);
  const int n = m.detail >= 0 ? std::snprintf(out, kLineSize, "%lld %s %d\n", us, m.phase, int(m.detail))
                              : std::snprintf(out, kLineSize, "%lld %s\n", us, m.phase);
  return n > 0 ? std::min(size_t(n), kLineSize - 1) : 0;
}

}  // namespace

int64_t ProfileClockNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void StartProfile(int64_t startNs, ProfileSink sink) {
  Profile& p = TheProfile();
  p.on = sink != nullptr;
  p.sink = sink;
  p.startNs = startNs;
  p.count = 0;
}

bool ProfileOn() { return TheProfile().on; }

void MarkProfile(const char* phase, int32_t detail) {
  Profile& p = TheProfile();
  // The last slot is kept for the closing mark: a full profile still ends.
  if (!p.on || p.count >= kMaxMarks - 1) return;
  p.marks[p.count++] = {phase, detail, ProfileClockNs() - p.startNs};
}

std::span<const ProfileMark> ProfileMarks() {
  const Profile& p = TheProfile();
  return {p.marks, p.count};
}

bool FinishProfile(const char* phase) {
  Profile& p = TheProfile();
  if (!p.on) return false;
  p.marks[p.count++] = {phase, -1, ProfileClockNs() - p.startNs};
  p.on = false;
  // One block, so that a reader sees the whole profile or none of it.
  static char text[kMaxMarks * kLineSize];
  size_t size = 0;
  for (size_t i = 0; i < p.count; ++i) size += FormatMark(p.marks[i], text + size);
  return p.sink(text, size);
}

bool EventMarksOn() { return TheProfile().sink != nullptr; }

void MarkEvent(const char* phase, int32_t detail) {
  Profile& p = TheProfile();
  // After the profile's own block, so that a reader finds it whole first.
  if (!p.sink || p.on) return;
  char line[kLineSize];
  p.sink(line, FormatMark({phase, detail, ProfileClockNs() - p.startNs}, line));
}

}  // namespace kavrel
