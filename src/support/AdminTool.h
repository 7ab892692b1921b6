#pragma once

namespace quorvale {

// Where the program hands the administrator tool a server's connect string:
// in the child's environment, which only its own user can read, rather than on
// its command line, which every process list shows.
inline constexpr const char *ServerEnvironmentVariable = "QVADMIN_SERVER";

} // namespace quorvale
