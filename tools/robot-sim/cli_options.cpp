#include "cli_options.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace robotsim {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::invalid_argument("cannot read " + path);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

int ParseNumber(const std::string& option, const std::string& text) {
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || value < 0 || value > 1000000000) {
    throw std::invalid_argument(option + ": bad number '" + text + "'");
  }
  return static_cast<int>(value);
}

}  // namespace

std::string Unescape(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    const char code = text[++i];
    if (code == 'n') {
      out += '\n';
    } else if (code == 'r') {
      out += '\r';
    } else if (code == 't') {
      out += '\t';
    } else if (code == 'x' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 &&
               HexDigit(text[i + 2]) >= 0) {
      out += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
      i += 2;
    } else {
      out += code;  // "\\" and anything unknown: the character itself
    }
  }
  return out;
}

CliOptions ParseCommandLine(int argc, const char* const* argv) {
  CliOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--help" || option == "-h") {
      options.help = true;
      continue;
    }
    if (option == "--block-ack") {
      options.sim.blockAck = true;
      continue;
    }
    if (option == "--exit-after-upload") {
      options.exitAfterUpload = true;
      continue;
    }
    if (i + 1 >= argc) throw std::invalid_argument(option + ": unknown option or missing value");
    const std::string value = argv[++i];
    if (option == "--identity") {
      options.sim.identity = Unescape(value);
    } else if (option == "--identity-file") {
      options.sim.identity = ReadFile(value);
    } else if (option == "--answer") {
      const size_t equals = value.find('=');
      if (equals == std::string::npos) throw std::invalid_argument("--answer wants CMD=TEXT");
      options.sim.answers[Unescape(value.substr(0, equals)) + "\n"] =
          Unescape(value.substr(equals + 1));
    } else if (option == "--fault") {
      options.sim.faults.push_back(Fault::Parse(value));
    } else if (option == "--upload-idle-ms") {
      options.sim.uploadIdleTimeoutMs = ParseNumber(option, value);
    } else if (option == "--transcript") {
      options.transcriptPath = value;
    } else if (option == "--ports-dir") {
      options.portsDir = value;
    } else if (option == "--sysfs") {
      options.sysfsRoot = value;
    } else if (option == "--wine-prefix") {
      options.winePrefix = value;
    } else if (option == "--com") {
      options.com = ParseNumber(option, value);
    } else if (option == "--usb") {
      options.usb = UsbId::Parse(value);
    } else {
      throw std::invalid_argument("unknown option " + option);
    }
  }
  if (options.portsDir.empty() != options.sysfsRoot.empty()) {
    throw std::invalid_argument("--ports-dir and --sysfs go together");
  }
  const bool findable = !options.portsDir.empty() || !options.winePrefix.empty();
  if (findable && options.com < 1) throw std::invalid_argument("--com N (N >= 1) is needed");
  return options;
}

const char* HelpText() {
  return R"(Usage: robot-sim [OPTION]...
Plays the robot on a pseudo-terminal. Prints the device path (e.g. /dev/pts/7) as the
first line, runs until SIGINT/SIGTERM, then undoes what it made findable, writes the
transcript and exits 0.

What the robot says:
  --identity TEXT          answer to "GetVersion\n"; \n \r \t \\ \xHH are escapes
  --identity-file FILE     answer to "GetVersion\n", read from FILE as is
  --answer CMD=TEXT        answer TEXT (escapes as above) to the line CMD; repeatable
  --block-ack              ACK (0x06) every 16384 bytes of an upload
  --upload-idle-ms MS      give up an upload after MS without a byte (default 2000, 0 never)
  --fault NAME[=N]         misbehave; repeatable. NAME is one of
      silent                 never answer anything
      late[=MS]              answer GetVersion after MS (500)
      split[=MS]             send the identity in two halves MS apart (150)
      garbage[=N]            answer GetVersion with N random bytes, no commas (64)
      oversized[=N]          answer GetVersion with N bytes of long lines (5000)
      hangup-on-command      hang up when the first command line arrives
      hangup-after-bytes[=N] hang up after N upload bytes, trailer included; 0: after REQ
      hangup-in-verdict      hang up after the upload bytes instead of a verdict
      no-req                 never send REQ for an upload
      nak                    reject every upload
      no-verdict             never answer after the upload bytes
      no-block-ack           no block ACKs even with --block-ack
      slow-reader[=BPS]      take upload bytes at BPS bytes per second (4096)
      garbage-req            answer Upload with bytes that are not REQ

Being found (undone on exit):
  --ports-dir DIR --sysfs DIR --com N
                           DIR/comN -> device, and a sysfs fixture under the --sysfs DIR
  --wine-prefix DIR --com N
                           DIR/dosdevices/comN -> device, plus registry entries (wine regedit)
  --usb primary|secondary|VID:PID[:IFACE]
                           USB identity shown (hex; primary 1209:0001, secondary 04e8:6850:0)

Ending:
  --transcript FILE        write what the robot saw to FILE on exit
  --exit-after-upload      exit once the first upload has ended (verdict, hang-up, ...)
  --help                   this text
)";
}

}  // namespace robotsim
