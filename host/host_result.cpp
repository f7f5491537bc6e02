#include "host/host_result.h"

#include <cstdio>

namespace tavrin::host {
namespace {

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20 || c >= 0x7F) {
          // The robot's bytes are not UTF-8 text; each byte stands for itself.
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
          out += escaped;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

}  // namespace

int ExitStatusFor(const HostBufferTexts& buffers) {
  if (buffers.result == "Upload OK") return kUploadOk;
  if (buffers.result.rfind("Robot connected on COM", 0) == 0) return kConnected;
  return kNotConnected;
}

std::string ReportText(const HostBufferTexts& buffers) {
  return "Result        : " + buffers.result + "\n" + "Software      : " + buffers.software + "\n" +
         "ModelID       : " + buffers.modelId + "\n" + "Serial Number : " + buffers.serialNo + "\n";
}

std::string ToJson(const HostBufferTexts& buffers) {
  return "{\"info\": " + JsonString(buffers.info) +
         ", \"software\": " + JsonString(buffers.software) +
         ", \"modelId\": " + JsonString(buffers.modelId) +
         ", \"serialNo\": " + JsonString(buffers.serialNo) +
         ", \"result\": " + JsonString(buffers.result) + "}\n";
}

}  // namespace tavrin::host
