#pragma once
// A simulated robot on a fresh COM number, and the Upload program of one build to talk to it.
#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "tests/support/upload_target.h"
#include "tools/robot-sim/robot_sim.h"

namespace tavrin::test {

class RobotRunTest : public ::testing::TestWithParam<Build> {
 protected:
  void SetUp() override {
    if (!target.Available()) GTEST_SKIP() << "build not given";
  }
  // The robot as COM<number>; with a USB identity automatic search finds it too.
  robotsim::RobotSim& StartRobot(robotsim::SimOptions options = {},
                                 std::optional<robotsim::UsbId> usb = std::nullopt) {
    robots_.push_back(std::make_unique<robotsim::RobotSim>(std::move(options)));
    coms_.push_back(target.FreeComNumber());
    findables_.push_back(target.Attach(robots_.back()->SlavePath(), coms_.back(), usb));
    return *robots_.back();
  }
  robotsim::RobotSim& Robot(std::size_t i = 0) { return *robots_.at(i); }
  int Com(std::size_t i = 0) const { return coms_.at(i); }
  std::string ComText(std::size_t i = 0) const { return std::to_string(coms_.at(i)); }

  static robotsim::SimOptions WithFault(const std::string& fault) {
    robotsim::SimOptions options;
    options.faults.push_back(robotsim::Fault::Parse(fault));
    return options;
  }

  UploadTarget target{GetParam()};

 private:
  std::vector<std::unique_ptr<robotsim::RobotSim>> robots_;
  std::vector<int> coms_;
  std::vector<robotsim::Findable> findables_;
};

inline std::string ParamName(const ::testing::TestParamInfo<Build>& info) {
  return BuildName(info.param);
}

}  // namespace tavrin::test
