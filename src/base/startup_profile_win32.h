// The start-up profile's way out of the process. The process that starts
// Kavrel (the start-up bench, the soak) hands down an inheritable handle of
// a file or pipe it reads, and names it by its number in the environment:
// KAVREL_PROFILE_HANDLE, with the clock's reading at the start in
// KAVREL_PROFILE_START. Kavrel never opens or renames a file by a name from
// its environment: an elevated process inherits no handle from the user's
// environment, so nothing that can only write that environment can make it
// write anywhere.
#pragma once

namespace kavrel {

// Starts the profile when both are there and the handle is one this process
// inherited, of a file or a pipe, that it may write to; otherwise nothing
// is recorded.
void StartProfileFromEnvironment();

}  // namespace kavrel
