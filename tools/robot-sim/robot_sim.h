// The robot's end of the USB serial link, played on a pseudo-terminal.
//
// RobotSim opens a pty, answers the robot's text commands and receives firmware uploads on its
// own thread, and records everything it saw in a Transcript. MakeFindableNative/MakeFindableWine
// make the pty look like a USB serial port of a given USB identity to port discovery.
#ifndef TAVRIN_TOOLS_ROBOT_SIM_ROBOT_SIM_H_
#define TAVRIN_TOOLS_ROBOT_SIM_ROBOT_SIM_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace robotsim {

// What the robot answers to "GetVersion\n" unless told otherwise.
extern const char kDefaultIdentity[];

// Plain commands the robot knows: full command line ("\n" included) -> answer.
std::map<std::string, std::string> DefaultAnswers();

// Single-byte signals of the upload handshake.
constexpr uint8_t kReq = 0x05;
constexpr uint8_t kAck = 0x06;
constexpr uint8_t kNak = 0x15;
// With block ACK on, the robot ACKs every this many upload bytes.
constexpr uint64_t kBlockSize = 16384;

struct Fault {
  enum class Kind {
    kSilent,            // never answers anything
    kLate,              // answers GetVersion after param ms (500)
    kSplit,             // sends the identity in two halves param ms apart (150)
    kGarbage,           // answers GetVersion with param random bytes, no commas (64)
    kOversized,         // answers GetVersion with param bytes of long lines (5000)
    kHangupOnCommand,   // closes its end when the first command line arrives
    kHangupAfterBytes,  // closes its end after param upload bytes (0: right after REQ)
    kHangupInVerdict,   // closes its end instead of giving a verdict
    kNoReq,             // never sends REQ for an upload
    kNak,               // rejects every upload
    kNoVerdict,         // never answers after the upload bytes
    kNoBlockAck,        // sends no block ACKs even when block ACK is on
    kSlowReader,        // takes upload bytes at param bytes per second (4096)
    kGarbageReq,        // answers an Upload command with bytes that are not REQ
  };
  static constexpr long kDefaultParam = -1;

  Kind kind = Kind::kSilent;
  long param = kDefaultParam;  // kDefaultParam: the kind's default shown above

  // Reads "name" or "name=N", e.g. "late=800", "hangup-after-bytes=0".
  // Throws std::invalid_argument for an unknown name or a bad number.
  static Fault Parse(const std::string& text);
  // The parameter in force (the default resolved).
  long Param() const;
  // "name" or "name=N", the form Parse reads.
  std::string ToString() const;
};

struct SimOptions {
  std::string identity = kDefaultIdentity;
  std::map<std::string, std::string> answers = DefaultAnswers();
  std::vector<Fault> faults;
  // Send ACK after every complete kBlockSize bytes of an upload.
  bool blockAck = false;
  // The robot gives up on an upload after this long without a byte (0: waits forever).
  int uploadIdleTimeoutMs = 2000;
  // Seeds the bytes of the garbage fault.
  uint32_t seed = 1;
};

enum class Verdict { kNone, kAck, kNak };

// How an upload ended.
enum class UploadEnd {
  kRunning,     // still receiving
  kVerdict,     // all bytes received, verdict sent
  kWithheld,    // all bytes received, no verdict sent (no-verdict fault)
  kHangup,      // the robot closed its end (hang-up faults)
  kNoReq,       // REQ never sent (no-req fault); back to commands
  kGarbageReq,  // garbage sent instead of REQ; back to commands
  kIdle,        // no byte for uploadIdleTimeoutMs; back to commands
  kStopped,     // the simulator was stopped
};

struct UploadRecord {
  size_t commandIndex = 0;  // the "Upload ..." line in Transcript::commands
  std::string type;
  bool reboot = false;
  uint64_t announced = 0;         // n: image length + 4-byte trailer
  uint64_t received = 0;          // image and trailer bytes taken in
  bool sizeFieldPresent = false;  // the image reached bytes 20..23
  uint32_t sizeField = 0;         // bytes 20..23 of the image, LSB first
  bool sizeFieldOk = false;       // sizeField == announced - 4
  uint32_t checksum = 0;          // byte sum of the image bytes received
  uint32_t trailer = 0;           // trailer bytes received, LSB first
  uint32_t blockAcks = 0;
  Verdict verdict = Verdict::kNone;
  UploadEnd end = UploadEnd::kRunning;
};

struct Transcript {
  std::vector<std::string> commands;  // every command line as received, "\n" included
  std::vector<UploadRecord> uploads;
  std::string partialLine;  // bytes after the last "\n", not yet a command
  bool hungUp = false;      // the robot closed its end of the link

  // One record per line, non-printable bytes escaped (see transcript.cpp).
  std::string ToText() const;
};

// Printable ASCII as is; backslash, quote, "\n", "\r", "\t" escaped, other bytes as "\xHH".
std::string EscapeBytes(const std::string& bytes);
const char* VerdictName(Verdict verdict);
const char* UploadEndName(UploadEnd end);

class RobotSim {
 public:
  // Opens the pty (raw mode) and starts the robot's thread. Throws std::runtime_error.
  explicit RobotSim(SimOptions options = SimOptions());
  ~RobotSim();
  RobotSim(const RobotSim&) = delete;
  RobotSim& operator=(const RobotSim&) = delete;

  // The device the other end opens, e.g. "/dev/pts/7".
  const std::string& SlavePath() const;
  Transcript GetTranscript() const;
  // True once at least `count` uploads have ended (verdict, hang-up, ...).
  bool WaitForUploadVerdict(int timeoutMs, size_t count = 1) const;
  // True once at least `count` command lines have arrived.
  bool WaitForCommands(size_t count, int timeoutMs) const;
  // Stops the thread and closes the pty. Safe to call more than once.
  void Stop();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

struct UsbId {
  uint16_t vendor = 0x1209;
  uint16_t product = 0x0001;
  int iface = -1;  // -1: none (no "&MI_" on Windows, interface 0 in sysfs)

  static UsbId Primary();    // 1209:0001, no interface
  static UsbId Secondary();  // 04e8:6850, interface 0
  // "primary", "secondary" or hex "VID:PID[:IFACE]". Throws std::invalid_argument.
  static UsbId Parse(const std::string& text);
};

// Undoes what a MakeFindable* call made, at the latest when destroyed.
class Findable {
 public:
  Findable() = default;
  explicit Findable(std::function<void()> undo);
  Findable(Findable&& other) noexcept;
  Findable& operator=(Findable&& other) noexcept;
  ~Findable();
  void Undo();  // safe to call more than once

 private:
  std::function<void()> undo_;
};

// portsDir/comN -> device, plus a sysfs fixture under sysfsRoot:
//   class/tty/ttyACM<com>/dev               "major:minor\n" of the device
//   class/tty/ttyACM<com>/device            -> ../../../devices/usb1/1-<com>/1-<com>:1.<iface>
//   devices/usb1/1-<com>/idVendor, idProduct "%04x\n"
//   devices/usb1/1-<com>/1-<com>:1.<iface>/bInterfaceNumber "%02x\n"
// Throws std::runtime_error if comN or the fixture entries already exist.
Findable MakeFindableNative(const std::string& devicePath, const std::string& portsDir,
                            const std::string& sysfsRoot, int com, UsbId usb = UsbId::Primary());
Findable MakeFindableNative(const RobotSim& sim, const std::string& portsDir,
                            const std::string& sysfsRoot, int com, UsbId usb = UsbId::Primary());

// winePrefix/dosdevices/comN -> device, and through `wine regedit`:
//   HKLM\HARDWARE\DEVICEMAP\SERIALCOMM  "TavrinSim<com>" = "COM<com>"
//   HKLM\SYSTEM\CurrentControlSet\Enum\USB\Vid_%04x&Pid_%04x[&MI_%02x]\TavrinSim<com>
//       FriendlyName, and "Device Parameters" PortName = "COM<com>"
//   HKLM\Software\Wine\Ports  "COM<com>" = device (so Wine keeps the link on restart)
// Throws std::runtime_error if wine fails.
Findable MakeFindableWine(const std::string& devicePath, const std::string& winePrefix, int com,
                          UsbId usb = UsbId::Primary());
Findable MakeFindableWine(const RobotSim& sim, const std::string& winePrefix, int com,
                          UsbId usb = UsbId::Primary());

}  // namespace robotsim

#endif  // TAVRIN_TOOLS_ROBOT_SIM_ROBOT_SIM_H_
