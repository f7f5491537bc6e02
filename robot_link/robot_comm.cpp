#include "robot_link/robot_comm.h"

namespace tavrin {

RobotComm g_robotComm;

}  // namespace tavrin
