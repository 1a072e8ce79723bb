// How another program asks every running copy of ours to close, in every session: one
// manual-reset event in the global namespace, which the programs watch and answer with their own
// close. Window messages reach only the sender's session, and a deployment tool's system account
// sits in session 0, where no user's window can be found.
#pragma once

namespace px {

inline constexpr char kCloseSignalName[] = "Global\\TouchScreen PX-K17-COM Close";
// Whoever makes it first: the system account and administrators may set it, everyone may wait on it.
inline constexpr char kCloseSignalAccess[] = "D:(A;;GA;;;SY)(A;;GA;;;BA)(A;;0x00100000;;;WD)";

}  // namespace px
