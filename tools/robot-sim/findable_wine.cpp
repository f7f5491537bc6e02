// Makes a device findable by port discovery under Wine: a dosdevices link and the registry
// entries Windows keeps for a USB serial port.
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <vector>

#include "robot_sim.h"

extern char** environ;

namespace robotsim {
namespace {

namespace fs = std::filesystem;

// wine may have to start its server (or even build the prefix) first.
constexpr std::chrono::milliseconds kWineTimeout{120000};

std::string EnumKey(const UsbId& usb, const std::string& instance) {
  char device[64];
  std::snprintf(device, sizeof device, "Vid_%04x&Pid_%04x", usb.vendor, usb.product);
  std::string key =
      std::string("HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\USB\\") + device;
  if (usb.iface >= 0) {
    char iface[16];
    std::snprintf(iface, sizeof iface, "&MI_%02x", static_cast<unsigned>(usb.iface));
    key += iface;
  }
  return key + "\\" + instance;
}

std::string RegString(const std::string& text) {
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '\\' || c == '"') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

std::vector<std::string> WineEnvironment(const std::string& winePrefix) {
  std::vector<std::string> env;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text = *entry;
    if (text.rfind("WINEPREFIX=", 0) == 0 || text.rfind("WINEDEBUG=", 0) == 0) continue;
    env.push_back(text);
  }
  env.push_back("WINEPREFIX=" + winePrefix);
  env.push_back("WINEDEBUG=-all");
  if (std::getenv("WINEDLLOVERRIDES") == nullptr) env.push_back("WINEDLLOVERRIDES=mscoree,mshtml=");
  return env;
}

// False if the child is still running after `timeout`.
bool WaitForExit(pid_t child, std::chrono::milliseconds timeout) {
  const int pidFd = static_cast<int>(syscall(SYS_pidfd_open, child, 0));
  if (pidFd < 0) return true;  // old kernel: the caller's waitpid() waits without a limit
  pollfd exited{pidFd, POLLIN, 0};
  int ready;
  do {
    ready = poll(&exited, 1, static_cast<int>(timeout.count()));
  } while (ready < 0 && errno == EINTR);
  close(pidFd);
  return ready > 0;
}

// Runs `wine regedit /S` on the given .reg text.
void ImportRegistry(const std::string& winePrefix, const std::string& regText) {
  char regPath[] = "/tmp/robot-sim-XXXXXX.reg";
  const int fd = mkstemps(regPath, 4);
  if (fd < 0) throw std::runtime_error(std::string("robot-sim: mkstemps: ") + strerror(errno));
  const bool written =
      write(fd, regText.data(), regText.size()) == static_cast<ssize_t>(regText.size());
  close(fd);
  if (!written) {
    unlink(regPath);
    throw std::runtime_error(std::string("robot-sim: cannot write ") + regPath);
  }

  std::vector<std::string> env = WineEnvironment(winePrefix);
  std::vector<char*> envp;
  for (std::string& entry : env) envp.push_back(entry.data());
  envp.push_back(nullptr);
  char wine[] = "wine", regedit[] = "regedit", silent[] = "/S";
  char* argv[] = {wine, regedit, silent, regPath, nullptr};
  pid_t child = -1;
  const int spawnError = posix_spawnp(&child, "wine", nullptr, nullptr, argv, envp.data());
  if (spawnError != 0) {
    unlink(regPath);
    throw std::runtime_error(std::string("robot-sim: cannot run wine: ") + strerror(spawnError));
  }
  const bool finished = WaitForExit(child, kWineTimeout);
  if (!finished) kill(child, SIGKILL);
  int status = 0;
  const pid_t reaped = waitpid(child, &status, 0);
  unlink(regPath);
  if (!finished || reaped != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    throw std::runtime_error("robot-sim: wine regedit failed for prefix " + winePrefix);
  }
}

}  // namespace

Findable MakeFindableWine(const std::string& devicePath, const std::string& winePrefix, int com,
                          UsbId usb) {
  const std::string port = "COM" + std::to_string(com);
  const std::string instance = "TavrinSim" + std::to_string(com);
  const std::string enumKey = EnumKey(usb, instance);
  const fs::path link = fs::path(winePrefix) / "dosdevices" / ("com" + std::to_string(com));

  std::error_code error;
  fs::create_directories(link.parent_path(), error);
  fs::remove(link, error);  // Wine makes its own comN links for host serial ports
  fs::create_symlink(devicePath, link, error);
  if (error) {
    throw std::runtime_error("robot-sim: cannot link " + link.string() + ": " + error.message());
  }

  // HARDWARE is volatile in Wine; the Ports entry has Wine itself list the port again
  // (SERIALCOMM and the dosdevices link) whenever its server restarts.
  const std::string add =
      "REGEDIT4\n\n"
      "[HKEY_LOCAL_MACHINE\\HARDWARE\\DEVICEMAP\\SERIALCOMM]\n" +
      RegString(instance) + "=" + RegString(port) + "\n\n[" + enumKey + "]\n" +
      "\"FriendlyName\"=" + RegString("Robot simulator (" + port + ")") + "\n\n[" + enumKey +
      "\\Device Parameters]\n\"PortName\"=" + RegString(port) + "\n\n" +
      "[HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports]\n" + RegString(port) + "=" +
      RegString(devicePath) + "\n";
  const std::string remove =
      "REGEDIT4\n\n"
      "[HKEY_LOCAL_MACHINE\\HARDWARE\\DEVICEMAP\\SERIALCOMM]\n" +
      RegString(instance) + "=-\n\n[-" + enumKey + "]\n\n" +
      "[HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports]\n" + RegString(port) + "=-\n";
  try {
    ImportRegistry(winePrefix, add);
  } catch (const std::exception&) {
    fs::remove(link, error);
    throw;
  }
  return Findable([=] {
    std::error_code ignored;
    fs::remove(link, ignored);
    try {
      ImportRegistry(winePrefix, remove);
    } catch (const std::exception& failure) {
      std::fprintf(stderr, "%s\n", failure.what());
    }
  });
}

Findable MakeFindableWine(const RobotSim& sim, const std::string& winePrefix, int com, UsbId usb) {
  return MakeFindableWine(sim.SlavePath(), winePrefix, com, usb);
}

}  // namespace robotsim
