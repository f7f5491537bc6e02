// tavrin-bench-launcher RESULT PROGRAM [ARG]...
// Runs PROGRAM from a small process and writes its peak resident memory (ru_maxrss, KiB) to
// RESULT; exits with PROGRAM's status (128 + the signal when one ended it).
//
// Linux carries a process's peak memory across exec, and a child that the large bench process
// spawns starts out with the bench's peak. A child forked here starts with this program's.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: tavrin-bench-launcher RESULT PROGRAM [ARG]...\n");
    return 125;
  }
  const pid_t child = fork();
  if (child < 0) return 126;
  if (child == 0) {
    execv(argv[2], argv + 2);
    std::perror(argv[2]);
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  while (wait4(child, &status, 0, &usage) < 0) {
    if (errno != EINTR) return 126;
  }
  std::FILE* result = std::fopen(argv[1], "w");
  if (result == nullptr || std::fprintf(result, "%ld\n", usage.ru_maxrss) < 0 ||
      std::fclose(result) != 0) {
    return 126;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
