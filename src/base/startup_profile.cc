#include "base/startup_profile.h"

#include <chrono>
#include <cstdio>
#include <string>

#include "base/move_over.h"

namespace kavrel {

namespace {

constexpr size_t kMaxMarks = 128;

struct Profile {
  bool on = false;
  bool events = false;  // started once: MarkEvent writes
  int64_t startNs = 0;
  std::string path;
  ProfileMark marks[kMaxMarks] = {};
  size_t count = 0;
};

Profile& TheProfile() {
  static Profile profile;
  return profile;
}

}  // namespace

int64_t ProfileClockNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void StartProfile(int64_t startNs, const char* path) {
  Profile& p = TheProfile();
  p.on = true;
  p.events = true;
  p.startNs = startNs;
  p.path = path ? path : "";
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

namespace {

bool WriteMark(std::FILE* file, const ProfileMark& m) {
  const long long us = static_cast<long long>(m.ns / 1000);
  return (m.detail >= 0 ? std::fprintf(file, "%lld %s %d\n", us, m.phase, int(m.detail))
                        : std::fprintf(file, "%lld %s\n", us, m.phase)) > 0;
}

}  // namespace

bool FinishProfile(const char* phase) {
  Profile& p = TheProfile();
  if (!p.on) return false;
  p.marks[p.count++] = {phase, -1, ProfileClockNs() - p.startNs};
  p.on = false;
  // Written beside and then renamed, so a reader never sees half a profile.
  const std::string part = p.path + ".part";
  std::FILE* file = std::fopen(part.c_str(), "w");
  if (!file) return false;
  bool ok = true;
  for (size_t i = 0; i < p.count; ++i) ok = WriteMark(file, p.marks[i]) && ok;
  ok = std::fclose(file) == 0 && ok;
  return ok && MoveOver(part.c_str(), p.path.c_str());
}

bool EventMarksOn() { return TheProfile().events; }

void MarkEvent(const char* phase, int32_t detail) {
  Profile& p = TheProfile();
  if (!p.events) return;
  const std::string path = p.path + ".events";
  if (std::FILE* file = std::fopen(path.c_str(), "a")) {
    WriteMark(file, {phase, detail, ProfileClockNs() - p.startNs});
    std::fclose(file);
  }
}

}  // namespace kavrel
