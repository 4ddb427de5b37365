// σ's input part: a refit whose moved input pulls a parameter off the bound
// the fit left it on must follow it, as a bounded fit from scratch would.
#include <gtest/gtest.h>

#include "analysis/FitModel.h"

namespace kavo::test {
namespace {

// Z = a + (b − c)·ω with b ≥ 0 fitted and c an input with σ 0.02.
struct Slope final : FitModelOf<Slope> {
  explicit Slope(double c) : c_(c) {}
  std::span<const FitParameter> Parameters() const override { return p_; }
  std::span<const ReportedValue> Values() const override { return v_; }
  void Start(const std::vector<FitPoints>&, std::vector<double>& x, std::vector<bool>& free) const override {
    x = {1, 0.5}, free = {true, true};
  }
  template <typename T>
  void Z(const T* x, const FitPoints&, double w, T& zr, T& zi) const { zr = x[0] + (x[1] - c_) * w, zi = T(0); }
  std::vector<double> Derived(const double* x) const override { return {x[1]}; }
  std::vector<bool> Determined(const std::vector<FitPoints>&) const override { return {true}; }
  const char* CurveName(int) const override { return "line"; }
  std::vector<FitInputSigma> Inputs(const std::vector<FitPoints>&) const override { return {{"c", 0.02}}; }
  std::shared_ptr<const FitModel> MoveInput(size_t, double d, std::vector<FitPoints>&) const override {
    return std::make_shared<Slope>(c_ + d);
  }
  double c_;
  FitParameter p_[2] = {{"a", 1, -10, 10}, {"b", 1, 0, 10}};
  ReportedValue v_[1] = {{"b", "b", "", 1}};
};

TEST(Refit, FollowsAParameterOffTheBoundTheFitLeftItOn) {
  FitPoints line;  // Z = 2 − 0.01·ω: the best b, −0.01, lies beyond its bound
  for (int k = 1; k <= 20; ++k)
    line.w.push_back(k), line.zr.push_back(2 - 0.01 * k), line.zi.push_back(0), line.weight.push_back(1 / line.zr.back());
  line.fLow = 1, line.fHigh = 20;
  const FitResult r = RunFit({std::make_shared<Slope>(0.0), {line}});
  ASSERT_TRUE(r.Ok());
  EXPECT_NEAR(r.value[0], 0, 1e-9);
  EXPECT_NEAR(r.sigmaInput[0], 0.01, 1e-6);  // c at 0.02 meets the line at b = 0.01
}

}  // namespace
}  // namespace kavo::test
