#include "driver/options.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "diagnostics/log_category.h"
#include "diagnostics/log_stream.h"
#include "diagnostics/log_writer.h"
#include "driver/driver_settings.h"
#include "driver/port_listing.h"

namespace tavrin {
namespace {

// The categories a debug log gets.
constexpr const char* kDebugLogFlags = "LOG,ERR,WRN,TRA,DB4,URT";

struct OptionContext {
  RunOptions& options;
  const ProcessEnders& enders;
};

// argument is null when the option that takes one is the last word.
using OptionAction = void (*)(OptionContext& context, const char* argument);

struct OptionRow {
  const char* word;  // a whole word, or "-x" matched on its first two characters
  bool takesArgument;
  OptionAction apply;
};

// atoi's reading (blanks, sign, digits up to the first non-digit), without its overflow.
int PortNumber(const char* word) {
  long value = std::strtol(word, nullptr, 10);
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

// The whole words are compared first, in this order; the usage text spells "--serial", but
// the listing has always answered to "--seria" only.
constexpr OptionRow kWholeWords[] = {
    {"--seria", false, [](OptionContext& c, const char*) { c.enders.listPorts(); }},
    {"--blastack", false,
     [](OptionContext&, const char*) { TheDriverSettings().blastWithAck = true; }},
    {"--APIscriptfile", true,
     [](OptionContext& c, const char* arg) {
       if (arg != nullptr) c.options.apiScriptFile = arg;
     }},
    {"--dbglog", true,
     [](OptionContext&, const char* arg) {
       SetConsoleEcho(false);
       EnableLogFlags(kDebugLogFlags);
       if (arg != nullptr) SetLogFile(arg);
     }},
    {"--dbgflags", true,
     [](OptionContext&, const char* arg) {
       if (arg != nullptr) EnableLogFlags(arg);
     }},
};

constexpr OptionRow kLetters[] = {
    {"-a", false, [](OptionContext& c, const char*) { c.options.autoFind = true; }},
    {"-c", false, [](OptionContext& c, const char*) { c.options.passThrough = true; }},
    {"-f", true,
     [](OptionContext& c, const char* arg) {
       if (arg != nullptr) c.options.uploadFile = arg;
     }},
    {"-k", false,
     [](OptionContext&, const char*) { TheDriverSettings().handshakeEnabled = false; }},
    {"-p", true,
     [](OptionContext& c, const char* arg) {
       c.options.autoFind = false;
       if (arg != nullptr) TheDriverSettings().robotPort = PortNumber(arg);
     }},
    {"-r", false, [](OptionContext& c, const char*) { c.options.rebootAfterUpload = true; }},
    {"-t", true,
     [](OptionContext& c, const char* arg) {
       if (arg != nullptr) c.options.uploadType = arg;
     }},
    {"-y", false, [](OptionContext& c, const char*) { c.options.setClock = true; }},
};

const OptionRow* FindOption(const char* word) {
  for (const OptionRow& row : kWholeWords) {
    if (std::strcmp(word, row.word) == 0) return &row;
  }
  if (word[0] != '-' || word[1] == '\0') return nullptr;
  // Only the second character counts: -k, -kx and -keep are all -k.
  for (const OptionRow& row : kLetters) {
    if (word[1] == row.word[1]) return &row;
  }
  return nullptr;
}

constexpr const char* kUsageLines[] = {
    "",
    "Upload.exe SW_EmbeddedRev_15220",
    "Usage: Upload <params>",
    "  -a            : auto-find the robot serial port to use. (default is on)",
    "  -p <port>     : set robot serial port. Will disable -a option",
    "  -t <type>     : type of upload section; code, sound or LDS allowed (default code)",
    "  -f <file>     : set file to upload. Must be set for command line upload.",
    "  -c            : send the rest of the command line directly to the robot.",
    "  -y            : set the current time on the robot from the PC",
    "  -r            : Reboot the robot after upload completes.",
    "  -k            : Disable the REQ/ACK/NAK handshake with robot.",
    "",
    "  Debug options",
    "  --dbglog      : log debug info to standard output",
    "  --dbgflags <Arg,...>  : enable additional log messages. URT, TRA, DB1 are legal.",
    "  --serial      : show serial ports and exit.",
    "  --blastack    : use the blast with ACK protocol in uploads.",
    "  --APIscriptfile   : next argument is name of scriptfile of API commands to execute.",
};

constexpr ProcessEnders kProcessEnders = {PrintUsage, ShowSerialPorts};

}  // namespace

void PrintUsage() {
  for (const char* line : kUsageLines) ReportLine(line);
  std::exit(1);
}

void ParseOptions(int argc, const char* const* argv, RunOptions& options,
                  const ProcessEnders& enders) {
  OptionContext context{options, enders};
  for (int i = 1; i < argc;) {
    const char* word = argv[i] != nullptr ? argv[i] : "";
    if (options.passThrough) {
      // From -c on every word belongs to the robot's command, options included.
      options.passThroughCommand += std::string(word) + " ";
      ++i;
      continue;
    }
    if (word[0] == '?') enders.usage();
    const OptionRow* option = FindOption(word);
    if (option == nullptr) {
      ++i;
      continue;
    }
    if (!option->takesArgument) {
      option->apply(context, nullptr);
      ++i;
      continue;
    }
    const char* argument = i + 1 < argc ? (argv[i + 1] != nullptr ? argv[i + 1] : "") : nullptr;
    option->apply(context, argument);
    i += 2;
  }
}

void ParseOptions(int argc, const char* const* argv, RunOptions& options) {
  ParseOptions(argc, argv, options, kProcessEnders);
}

}  // namespace tavrin
