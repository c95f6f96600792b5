// The Windows test host: one single-threaded apartment on the main thread,
// and the component registered with regsvr32 before any test runs.
#include "com_support.hpp"

namespace {

class RegisteredComponent : public ::testing::Environment {
 public:
  void SetUp() override { ASSERT_EQ(ztxgrp::com::testing::Regsvr32(), 0u) << "regsvr32 failed"; }
};

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 2;
  ::testing::AddGlobalTestEnvironment(new RegisteredComponent);
  const int result = RUN_ALL_TESTS();
  CoUninitialize();
  return result;
}
