// Ceres reports through glog; the programs silence it (QuietSolverLog) and
// report a fit's failures themselves. So does this test process.
#include <gtest/gtest.h>

#include "analysis/Fitter.h"

namespace {

struct QuietSolver : ::testing::Environment {
  void SetUp() override { kavo::QuietSolverLog(); }
};
const ::testing::Environment* const quiet = ::testing::AddGlobalTestEnvironment(new QuietSolver);

}  // namespace
