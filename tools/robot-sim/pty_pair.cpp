#include "pty_pair.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace robotsim {
namespace {

[[noreturn]] void Fail(const std::string& what) {
  throw std::runtime_error("robot-sim: " + what + ": " + std::strerror(errno));
}

}  // namespace

PtyPair OpenRawPty() {
  PtyPair pty;
  pty.master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (pty.master < 0) Fail("posix_openpt");
  char name[128];
  if (grantpt(pty.master) != 0 || unlockpt(pty.master) != 0 ||
      ptsname_r(pty.master, name, sizeof name) != 0) {
    const int saved = errno;
    close(pty.master);
    errno = saved;
    Fail("preparing the pty");
  }
  pty.slavePath = name;
  pty.heldSlave = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (pty.heldSlave < 0) {
    const int saved = errno;
    close(pty.master);
    errno = saved;
    Fail("opening " + pty.slavePath);
  }
  // Raw both ways: no echo, no line editing, no CR/LF translation.
  termios mode{};
  if (tcgetattr(pty.heldSlave, &mode) == 0) {
    cfmakeraw(&mode);
    tcsetattr(pty.heldSlave, TCSANOW, &mode);
  }
  return pty;
}

int UnreadByHost(const PtyPair& pty) {
  int unread = 0;
  if (pty.heldSlave < 0 || ioctl(pty.heldSlave, FIONREAD, &unread) != 0) return 0;
  return unread;
}

void KeepControllingTerminal(PtyPair& pty) {
  int stop[2], ready[2];
  if (pipe2(stop, O_CLOEXEC) != 0) Fail("pipe2");
  if (pipe2(ready, O_CLOEXEC) != 0) {
    close(stop[0]);
    close(stop[1]);
    Fail("pipe2");
  }
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_adddup2(&files, stop[0], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&files, ready[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclosefrom_np(&files, STDERR_FILENO + 1);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t noSignals;
  sigemptyset(&noSignals);
  posix_spawnattr_setsigmask(&attributes, &noSignals);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK);
  // Opening the tty without O_NOCTTY in a fresh session makes it the controlling terminal.
  char sh[] = "/bin/sh", dashC[] = "-c";
  char script[] = "trap '' HUP; exec 3<>\"$0\" || exit 1; echo ready; read -r _";
  char* argv[] = {sh, dashC, script, pty.slavePath.data(), nullptr};
  char* envp[] = {nullptr};
  const int error = posix_spawn(&pty.ttyKeeper, sh, &files, &attributes, argv, envp);
  posix_spawn_file_actions_destroy(&files);
  posix_spawnattr_destroy(&attributes);
  close(stop[0]);
  close(ready[1]);
  if (error != 0) {
    pty.ttyKeeper = -1;
    close(stop[1]);
    close(ready[0]);
    return;  // only Wine hosts miss it
  }
  pty.ttyKeeperStop = stop[1];
  // The host must not open the port before the helper holds it.
  pollfd readable{ready[0], POLLIN, 0};
  char line[8];
  if (poll(&readable, 1, 5000) > 0) {
    if (read(ready[0], line, sizeof line) <= 0) {
      // The helper failed; the robot works without it.
    }
  }
  close(ready[0]);
}

void ReleaseControllingTerminal(PtyPair& pty) {
  if (pty.ttyKeeperStop >= 0) close(pty.ttyKeeperStop);
  pty.ttyKeeperStop = -1;
  if (pty.ttyKeeper > 0) waitpid(pty.ttyKeeper, nullptr, 0);
  pty.ttyKeeper = -1;
}

void ClosePty(PtyPair& pty) {
  if (pty.master >= 0) close(pty.master);
  if (pty.heldSlave >= 0) close(pty.heldSlave);
  pty.master = -1;
  pty.heldSlave = -1;
}

}  // namespace robotsim
