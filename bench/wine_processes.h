#pragma once
// Processor time of the Wine processes that serve a prefix, read from /proc.
#include <sys/types.h>

#include <map>
#include <string>

namespace tavrin::bench {

// user + system seconds of each running process whose environment names `winePrefix`, by
// pid; the server's entry is marked in `serverPid` (0 when no server runs).
std::map<pid_t, double> WinePrefixCpu(const std::string& winePrefix, pid_t& serverPid);

// Wine runs a program started as `wine X.exe` in a process of its own that it detaches
// (start.exe /exec X.exe, then a double fork), so wait4 on `wine` never sees it. While this
// is alive, such processes are handed to this process when their parent goes (a child
// subreaper), and ReapDetached collects them.
class AdoptDetached {
 public:
  AdoptDetached();
  ~AdoptDetached();
  AdoptDetached(const AdoptDetached&) = delete;
  AdoptDetached& operator=(const AdoptDetached&) = delete;

  // Reaps every adopted process that has ended, waiting up to `waitMs` for one whose name
  // (/proc/<pid>/comm) is `name`; returns that one's user + system seconds, -1 if none came.
  double ReapDetached(const std::string& name, int waitMs);
};

}  // namespace tavrin::bench
