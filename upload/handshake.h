#pragma once
// The single bytes of the upload handshake, as the robot sends them inside its answers.

namespace tavrin {

constexpr char kReq = 0x05;  // ready to receive the image
constexpr char kAck = 0x06;  // image (or, during a blast with ACK, a block) accepted
constexpr char kNak = 0x15;  // image refused

}  // namespace tavrin
