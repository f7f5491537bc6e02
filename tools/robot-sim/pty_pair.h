// A pseudo-terminal in raw mode: the robot keeps the master, the host opens the slave.
#ifndef TAVRIN_TOOLS_ROBOT_SIM_PTY_PAIR_H_
#define TAVRIN_TOOLS_ROBOT_SIM_PTY_PAIR_H_

#include <sys/types.h>

#include <string>

namespace robotsim {

struct PtyPair {
  int master = -1;  // non-blocking
  // The robot holds the slave open too, so that the master never sees a hang-up while the
  // host has the port closed (poll() would report POLLHUP over and over).
  int heldSlave = -1;
  std::string slavePath;
  // A helper process that holds the slave as the controlling terminal of its own session.
  pid_t ttyKeeper = -1;
  int ttyKeeperStop = -1;  // closing it ends the helper
};

// Throws std::runtime_error. Both descriptors are close-on-exec, so that closing them really
// ends the link even while a child process (wine) runs.
PtyPair OpenRawPty();

// Bytes the host has not yet read from its side of the link.
int UnreadByHost(const PtyPair& pty);

// Closes both ends: the host's side sees a hang-up.
void ClosePty(PtyPair& pty);

// A session leader without a terminal that opens a tty adopts it as its controlling terminal
// (wineserver does so when it opens a COM port), and then gets SIGHUP when the robot hangs
// up. Giving the slave to a helper session of our own first prevents that.
void KeepControllingTerminal(PtyPair& pty);
void ReleaseControllingTerminal(PtyPair& pty);

}  // namespace robotsim

#endif  // TAVRIN_TOOLS_ROBOT_SIM_PTY_PAIR_H_
