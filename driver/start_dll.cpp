#include "driver/start_dll.h"

#include <exception>
#include <iostream>

#include "diagnostics/log_category.h"
#include "driver/host_buffers.h"
#include "driver/options.h"
#include "driver/run_flow.h"

// The only place where errors are caught: each carries its finished message.
extern "C" int StartDLL(int argc, char** argv, char* infoBuf, char* softwareBuf, char* modelIdBuf,
                        char* serialNoBuf, char* resultBuf) {
  using namespace tavrin;
  InitLog("");
  if (argc < 2 || argv == nullptr) PrintUsage();
  RunOptions options;
  HostBuffers buffers(infoBuf, softwareBuf, modelIdBuf, serialNoBuf, resultBuf);
  buffers.result.Set("");
  try {
    ParseOptions(argc, argv, options);
    RunRobot(options, buffers);
  } catch (const std::exception& error) {
    std::cerr << "Exception : " << error.what() << std::endl;
  } catch (...) {
    std::cerr << "Generic Exception" << std::endl;
  }
  return 0;
}
