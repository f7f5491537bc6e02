// Text form of a transcript, one record per line:
//   command "GetVersion\n"
//   upload type="code" reboot=yes announced=1048580 received=1048580 size_field=1048576
//       size_field_ok=yes checksum=0x07f3a2c1 trailer=0x07f3a2c1 block_acks=0 verdict=ACK
//       end=verdict                                     (all on one line)
//   partial "GetVer"                    (bytes after the last "\n")
//   hangup
// An upload record follows the command line that announced it.
#include <cstdio>

#include "robot_sim.h"

namespace robotsim {
namespace {

std::string Hex32(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08x", value);
  return text;
}

const char* YesNo(bool value) { return value ? "yes" : "no"; }

std::string UploadLine(const UploadRecord& upload) {
  std::string line = "upload type=\"" + EscapeBytes(upload.type) + "\"";
  line += std::string(" reboot=") + YesNo(upload.reboot);
  line += " announced=" + std::to_string(upload.announced);
  line += " received=" + std::to_string(upload.received);
  line += " size_field=" +
          (upload.sizeFieldPresent ? std::to_string(upload.sizeField) : std::string("none"));
  line += std::string(" size_field_ok=") + YesNo(upload.sizeFieldOk);
  line += " checksum=" + Hex32(upload.checksum);
  line += " trailer=" + Hex32(upload.trailer);
  line += " block_acks=" + std::to_string(upload.blockAcks);
  line += std::string(" verdict=") + VerdictName(upload.verdict);
  line += std::string(" end=") + UploadEndName(upload.end);
  return line + "\n";
}

}  // namespace

std::string EscapeBytes(const std::string& bytes) {
  std::string out;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte == '\\') {
      out += "\\\\";
    } else if (byte == '"') {
      out += "\\\"";
    } else if (byte == '\n') {
      out += "\\n";
    } else if (byte == '\r') {
      out += "\\r";
    } else if (byte == '\t') {
      out += "\\t";
    } else if (byte < 0x20 || byte > 0x7e) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02x", byte);
      out += hex;
    } else {
      out += c;
    }
  }
  return out;
}

const char* VerdictName(Verdict verdict) {
  switch (verdict) {
    case Verdict::kAck:
      return "ACK";
    case Verdict::kNak:
      return "NAK";
    case Verdict::kNone:
      break;
  }
  return "none";
}

const char* UploadEndName(UploadEnd end) {
  switch (end) {
    case UploadEnd::kRunning:
      return "running";
    case UploadEnd::kVerdict:
      return "verdict";
    case UploadEnd::kWithheld:
      return "withheld";
    case UploadEnd::kHangup:
      return "hangup";
    case UploadEnd::kNoReq:
      return "no-req";
    case UploadEnd::kGarbageReq:
      return "garbage-req";
    case UploadEnd::kIdle:
      return "idle";
    case UploadEnd::kStopped:
      return "stopped";
  }
  return "?";
}

std::string Transcript::ToText() const {
  std::string text;
  size_t nextUpload = 0;
  for (size_t i = 0; i < commands.size(); ++i) {
    text += "command \"" + EscapeBytes(commands[i]) + "\"\n";
    while (nextUpload < uploads.size() && uploads[nextUpload].commandIndex == i) {
      text += UploadLine(uploads[nextUpload++]);
    }
  }
  for (; nextUpload < uploads.size(); ++nextUpload) text += UploadLine(uploads[nextUpload]);
  if (!partialLine.empty()) text += "partial \"" + EscapeBytes(partialLine) + "\"\n";
  if (hungUp) text += "hangup\n";
  return text;
}

}  // namespace robotsim
