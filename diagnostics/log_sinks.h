#pragma once
// Where finished log lines go. The writer holds the lock; sinks only write.
#include <cstdio>
#include <string>

namespace tavrin {

class LogSink {
 public:
  virtual ~LogSink() = default;
  virtual void Write(const std::string& text) = 0;
  virtual void Flush() = 0;
};

// The library's standard output (the same stream that report lines use).
class ConsoleSink : public LogSink {
 public:
  void Write(const std::string& text) override;
  void Flush() override;
};

// The log file, a platform text stream: on Windows each line end is stored as CR LF.
class FileSink : public LogSink {
 public:
  explicit FileSink(std::FILE* file) : file_(file) {}
  ~FileSink() override;
  FileSink(const FileSink&) = delete;
  FileSink& operator=(const FileSink&) = delete;
  void Write(const std::string& text) override;
  void Flush() override;

 private:
  std::FILE* file_;
};

}  // namespace tavrin
