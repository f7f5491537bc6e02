#include <cerrno>
#include <cstdlib>
#include <stdexcept>

#include "robot_sim.h"

namespace robotsim {
namespace {

struct FaultInfo {
  Fault::Kind kind;
  const char* name;
  bool takesParam;
  long defaultParam;
  long minParam;
};

const FaultInfo kFaults[] = {
    {Fault::Kind::kSilent, "silent", false, 0, 0},
    {Fault::Kind::kLate, "late", true, 500, 0},
    {Fault::Kind::kSplit, "split", true, 150, 0},
    {Fault::Kind::kGarbage, "garbage", true, 64, 1},
    {Fault::Kind::kOversized, "oversized", true, 5000, 1},
    {Fault::Kind::kHangupOnCommand, "hangup-on-command", false, 0, 0},
    {Fault::Kind::kHangupAfterBytes, "hangup-after-bytes", true, 0, 0},
    {Fault::Kind::kHangupInVerdict, "hangup-in-verdict", false, 0, 0},
    {Fault::Kind::kNoReq, "no-req", false, 0, 0},
    {Fault::Kind::kNak, "nak", false, 0, 0},
    {Fault::Kind::kNoVerdict, "no-verdict", false, 0, 0},
    {Fault::Kind::kNoBlockAck, "no-block-ack", false, 0, 0},
    {Fault::Kind::kSlowReader, "slow-reader", true, 4096, 1},
    {Fault::Kind::kGarbageReq, "garbage-req", false, 0, 0},
};

const FaultInfo& InfoFor(Fault::Kind kind) {
  for (const FaultInfo& info : kFaults) {
    if (info.kind == kind) return info;
  }
  throw std::logic_error("fault kind missing from the table");
}

}  // namespace

Fault Fault::Parse(const std::string& text) {
  const size_t equals = text.find('=');
  const std::string name = text.substr(0, equals);
  for (const FaultInfo& info : kFaults) {
    if (name != info.name) continue;
    Fault fault;
    fault.kind = info.kind;
    if (equals == std::string::npos) return fault;
    const std::string number = text.substr(equals + 1);
    if (!info.takesParam) throw std::invalid_argument("fault " + name + " takes no value");
    char* end = nullptr;
    errno = 0;
    const long value = number.empty() ? -1 : std::strtol(number.c_str(), &end, 10);
    if (number.empty() || *end != '\0' || errno != 0 || value < info.minParam) {
      throw std::invalid_argument("bad value for fault " + name + ": '" + number + "'");
    }
    fault.param = value;
    return fault;
  }
  throw std::invalid_argument("unknown fault '" + name + "'");
}

long Fault::Param() const { return param == kDefaultParam ? InfoFor(kind).defaultParam : param; }

std::string Fault::ToString() const {
  const FaultInfo& info = InfoFor(kind);
  if (!info.takesParam) return info.name;
  return std::string(info.name) + "=" + std::to_string(Param());
}

}  // namespace robotsim
