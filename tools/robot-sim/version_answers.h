// Broken answers to "GetVersion\n" for the garbage and oversized faults.
#ifndef TAVRIN_TOOLS_ROBOT_SIM_VERSION_ANSWERS_H_
#define TAVRIN_TOOLS_ROBOT_SIM_VERSION_ANSWERS_H_

#include <cstddef>
#include <cstdint>
#include <string>

namespace robotsim {

// `size` random bytes without a comma, holding at least one 0x00 and one 0xFF when size >= 2.
std::string GarbageAnswer(size_t size, uint32_t seed);

// "Component,Version\n" and then long "key,value" lines, `size` bytes in all (at least the
// header line).
std::string OversizedAnswer(size_t size);

}  // namespace robotsim

#endif  // TAVRIN_TOOLS_ROBOT_SIM_VERSION_ANSWERS_H_
