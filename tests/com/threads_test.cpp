// Apartments: objects created and called on several threads at once, and a
// call marshalled from another apartment through the registered type library.
#include "com_support.hpp"

namespace ztxgrp::com::testing {
namespace {

std::vector<std::string> GroupOn(_IclsGroup* object, const std::vector<std::string>& items,
                                 HRESULT* status) {
  Variant argument;
  MakeTextArray(argument.get(), items);
  Variant result;
  *status = object->Group(*argument.get(), result.get());
  return SUCCEEDED(*status) ? ReadList(*result.get()) : std::vector<std::string>{};
}

DWORD WINAPI ApartmentWorker(void* failures) {
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
  {
    for (int round = 0; round < 50; ++round) {
      ComPtr<_IclsGroup> object = CreateByProgId();
      HRESULT status = E_FAIL;
      if (!object || GroupOn(object.get(), {"R3", "R1", "C2", "R2", "R5"}, &status) !=
                         std::vector<std::string>{"C2", "R1-R3", "R5"})
        InterlockedIncrement(static_cast<LONG*>(failures));
    }
  }
  CoUninitialize();
  return 0;
}

struct MarshalledCall {
  IStream* stream = nullptr;
  HRESULT groupStatus = E_FAIL;
  std::vector<std::string> grouped;
  HRESULT failingStatus = E_FAIL;
};

DWORD WINAPI MultithreadedCaller(void* context) {
  auto* call = static_cast<MarshalledCall*>(context);
  if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) return 1;
  {
    ComPtr<_IclsGroup> proxy;
    if (SUCCEEDED(CoGetInterfaceAndReleaseStream(call->stream, IID__IclsGroup,
                                                 reinterpret_cast<void**>(proxy.out())))) {
      call->grouped = GroupOn(proxy.get(), {"R2", "R1", "R3"}, &call->groupStatus);
      Bstr text(u"R3-R1");
      Variant result;
      call->failingStatus = proxy->UngroupItem(text.get(), result.get());
    }
  }
  CoUninitialize();
  return 0;
}

// Waits for a thread while serving the calls that reach this apartment.
void WaitPumping(HANDLE thread) {
  while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }
}

TEST(ThreadsTest, SeveralApartmentsCreateAndCallTheirOwnObjects) {
  LONG failures = 0;
  HANDLE threads[4];
  for (HANDLE& thread : threads) {
    thread = CreateThread(nullptr, 0, ApartmentWorker, &failures, 0, nullptr);
    ASSERT_NE(thread, nullptr);
  }
  for (HANDLE thread : threads) {
    WaitPumping(thread);
    CloseHandle(thread);
  }
  EXPECT_EQ(failures, 0);
}

TEST(ThreadsTest, CallFromAnotherApartmentIsMarshalled) {
  ComPtr<_IclsGroup> object = CreateByProgId();
  ASSERT_TRUE(object);
  MarshalledCall call;
  ASSERT_EQ(CoMarshalInterThreadInterfaceInStream(IID__IclsGroup, object.get(), &call.stream),
            S_OK);
  HANDLE thread = CreateThread(nullptr, 0, MultithreadedCaller, &call, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  WaitPumping(thread);
  CloseHandle(thread);
  EXPECT_EQ(call.groupStatus, S_OK);
  EXPECT_EQ(call.grouped, (std::vector<std::string>{"R1-R3"}));
  EXPECT_EQ(call.failingStatus, static_cast<HRESULT>(0x800A0009));
}

}  // namespace
}  // namespace ztxgrp::com::testing
