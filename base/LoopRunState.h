// One active run of a message loop; lives on the running thread's stack.
#pragma once

namespace nbase {

struct LoopRunState {
  int run_depth = 1;  // 1 for the outermost run
  bool quit_received = false;
};

}  // namespace nbase
