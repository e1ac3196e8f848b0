// How an attempt's result is decided once the HTTP status is known, and the
// reason texts the failure page shows for the download service's codes.
#include <windows.h>
#include <urlmon.h>
#include <wininet.h>

#include <string>

#include "engine/CBSCallbackImpl.h"
#include "engine/HttpStatusResult.h"
#include "engine/StallWatch.h"
#include "engine/SystemMessage.h"
#include "gtest/gtest.h"

namespace {

TEST(HttpStatusResultTest, ErrorAnswersFailEvenWhenTheTransferSucceeded) {
  // Only an error status turns a success into a failure.
  EXPECT_EQ(ResultForHttpStatus(S_OK, 0), S_OK);
  EXPECT_EQ(ResultForHttpStatus(S_OK, 200), S_OK);
  EXPECT_EQ(ResultForHttpStatus(S_OK, 304), S_OK);
  EXPECT_EQ(ResultForHttpStatus(S_OK, 399), S_OK);

  EXPECT_EQ(ResultForHttpStatus(S_OK, 404), INET_E_RESOURCE_NOT_FOUND);
  EXPECT_EQ(ResultForHttpStatus(S_OK, 410), INET_E_RESOURCE_NOT_FOUND);
  EXPECT_EQ(ResultForHttpStatus(S_OK, 401), INET_E_AUTHENTICATION_REQUIRED);
  EXPECT_EQ(ResultForHttpStatus(S_OK, 407), INET_E_AUTHENTICATION_REQUIRED);
  EXPECT_EQ(ResultForHttpStatus(S_OK, 403), E_ACCESSDENIED);
  EXPECT_EQ(ResultForHttpStatus(S_OK, 400), INET_E_INVALID_REQUEST);
  EXPECT_EQ(ResultForHttpStatus(S_OK, 499), INET_E_INVALID_REQUEST);
  EXPECT_EQ(ResultForHttpStatus(S_OK, 500), INET_E_DATA_NOT_AVAILABLE);
  EXPECT_EQ(ResultForHttpStatus(S_OK, 503), INET_E_DATA_NOT_AVAILABLE);
  EXPECT_EQ(ResultForHttpStatus(S_OK, 999), INET_E_DATA_NOT_AVAILABLE);

  // The platform's own failure is kept as it is, whatever the status.
  EXPECT_EQ(ResultForHttpStatus(INET_E_DOWNLOAD_FAILURE, 503), INET_E_DOWNLOAD_FAILURE);
  EXPECT_EQ(ResultForHttpStatus(E_ABORT, 404), E_ABORT);
  EXPECT_EQ(ResultForHttpStatus(INET_E_CANNOT_CONNECT, 0), INET_E_CANNOT_CONNECT);
}

TEST(CBSCallbackImplTest, NotesTheResponseCodeThroughHttpNegotiate) {
  CBSCallbackImpl callback(nullptr);
  void* object = nullptr;
  ASSERT_EQ(callback.QueryInterface(IID_IHttpNegotiate, &object), S_OK);
  IHttpNegotiate* negotiate = static_cast<IHttpNegotiate*>(object);
  EXPECT_EQ(negotiate, static_cast<IHttpNegotiate*>(&callback));
  EXPECT_EQ(callback.refCount(), 2);
  // The negotiate part shares the object's single count.
  EXPECT_EQ(negotiate->Release(), 1u);

  EXPECT_EQ(callback.httpStatus(), 0u);
  LPWSTR extra = reinterpret_cast<LPWSTR>(&callback);  // must be cleared
  EXPECT_EQ(negotiate->BeginningTransaction(L"http://127.0.0.1/", L"", 0, &extra), S_OK);
  EXPECT_EQ(extra, nullptr);
  extra = reinterpret_cast<LPWSTR>(&callback);
  EXPECT_EQ(negotiate->OnResponse(404, L"HTTP/1.1 404 Not Found\r\n\r\n", nullptr, &extra), S_OK);
  EXPECT_EQ(extra, nullptr);
  EXPECT_EQ(callback.httpStatus(), 404u);
  // The last answer counts (a redirect followed by the file).
  negotiate->OnResponse(200, nullptr, nullptr, nullptr);
  EXPECT_EQ(callback.httpStatus(), 200u);
  callback.ResetHttpStatus();
  EXPECT_EQ(callback.httpStatus(), 0u);

  // Interfaces it does not offer are still refused.
  object = &callback;
  EXPECT_EQ(callback.QueryInterface(IID_IServiceProvider, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(callback.QueryInterface(IID_IHttpNegotiate2, &object), E_NOINTERFACE);
}

// A binding that counts its aborts and references (released, never deleted).
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
#endif
class CountingBinding : public IBinding {
 public:
  STDMETHODIMP QueryInterface(REFIID, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
  STDMETHODIMP_(ULONG) Release() override { return --refs; }
  STDMETHODIMP Abort() override {
    ++aborts;
    return S_OK;
  }
  STDMETHODIMP Suspend() override { return E_NOTIMPL; }
  STDMETHODIMP Resume() override { return E_NOTIMPL; }
  STDMETHODIMP SetPriority(LONG) override { return E_NOTIMPL; }
  STDMETHODIMP GetPriority(LONG*) override { return E_NOTIMPL; }
  STDMETHODIMP GetBindResult(CLSID*, DWORD*, LPOLESTR*, DWORD*) override { return E_NOTIMPL; }

  ULONG refs = 1;
  int aborts = 0;
};
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

TEST(CBSCallbackImplTest, AbortsOnlyATransferSilentForTheLimit) {
  constexpr DWORD kLimit = 5000;
  CountingBinding binding;
  CBSCallbackImpl callback(nullptr);
  const DWORD start = ::GetTickCount();
  callback.BeginTransfer(start);

  // No binding yet: nothing to abort, and the silence is not forgotten.
  callback.AbortIfStalled(start + kLimit, kLimit);
  EXPECT_FALSE(callback.stalled());
  callback.OnStartBinding(0, &binding);
  EXPECT_EQ(binding.refs, 2u);

  // New bytes restart the clock; a status note at the same count does not. The note comes
  // 200 ms later (well past the tick's resolution), so a clock it wrongly restarted would
  // still have 180 ms to go at the check.
  callback.OnProgress(1000, 4000, BINDSTATUS_DOWNLOADINGDATA, nullptr);
  const DWORD progressed = ::GetTickCount();
  callback.AbortIfStalled(progressed + kLimit - 1000, kLimit);
  EXPECT_EQ(binding.aborts, 0);
  ::Sleep(200);
  callback.OnProgress(1000, 4000, BINDSTATUS_DOWNLOADINGDATA, nullptr);
  callback.AbortIfStalled(progressed + kLimit + 20, kLimit);
  EXPECT_EQ(binding.aborts, 1);
  EXPECT_TRUE(callback.stalled());
  // Once is enough.
  callback.AbortIfStalled(progressed + 2 * kLimit, kLimit);
  EXPECT_EQ(binding.aborts, 1);

  callback.OnStopBinding(E_ABORT, nullptr);
  EXPECT_EQ(binding.refs, 1u);
  // The next transfer starts afresh.
  callback.BeginTransfer(start);
  EXPECT_FALSE(callback.stalled());
  // Tick arithmetic survives the 49.7-day wrap.
  callback.BeginTransfer(0xFFFFF000u);
  callback.OnStartBinding(0, &binding);
  callback.AbortIfStalled(0xFFFFF000u + kLimit - 1, kLimit);
  EXPECT_EQ(binding.aborts, 1);
  callback.AbortIfStalled(0xFFFFF000u + kLimit, kLimit);
  EXPECT_EQ(binding.aborts, 2);
  callback.OnStopBinding(E_ABORT, nullptr);
}

// Waits as a blocking download call does: sent messages are delivered, nothing is dispatched
// from the queue. Returns the milliseconds it took for |done|, or -1 after |limitMs|.
template <typename Done>
int WaitDeliveringSentMessages(Done done, DWORD limitMs) {
  const DWORD start = ::GetTickCount();
  while (!done()) {
    if (::GetTickCount() - start >= limitMs) return -1;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_SENDMESSAGE);
    MSG msg;
    ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
  return static_cast<int>(::GetTickCount() - start);
}

TEST(StallWatchTest, AbortsASilentTransferOnceAndLeavesAFlowingOneAlone) {
  constexpr DWORD kLimit = 1500;
  CountingBinding binding;
  CBSCallbackImpl callback(nullptr);
  callback.BeginTransfer(::GetTickCount());
  callback.OnStartBinding(0, &binding);
  {
    StallWatch watch(&callback, kLimit);
    // Bytes every 200 ms for twice the limit: never aborted.
    ULONG bytes = 0;
    const DWORD flowing = ::GetTickCount();
    while (::GetTickCount() - flowing < 2 * kLimit) {
      callback.OnProgress(bytes += 100, 0, BINDSTATUS_DOWNLOADINGDATA, nullptr);
      WaitDeliveringSentMessages([] { return false; }, 200);
    }
    EXPECT_EQ(binding.aborts, 0);
    // Then silence: aborted within the limit plus one check interval, and only once.
    const int waited = WaitDeliveringSentMessages([&] { return binding.aborts > 0; }, 5000);
    EXPECT_GE(waited, static_cast<int>(kLimit) - 300);
    EXPECT_LE(waited, static_cast<int>(kLimit) + 1500);
    EXPECT_TRUE(callback.stalled());
    WaitDeliveringSentMessages([] { return false; }, 2500);
    EXPECT_EQ(binding.aborts, 1);
  }
  callback.OnStopBinding(E_ABORT, nullptr);
  EXPECT_EQ(binding.refs, 1u);
}

// The guard that does not need the watch's messages: WinINet's own time-outs for the process,
// longer than the watch's limit so that the watch, where it works, ends the attempt first.
// Wine takes the send and receive time-outs without a handle but keeps only the connect one,
// so only that one can be read back here.
TEST(StallWatchTest, PlatformTimeOutsAreSetForTheProcessAboveTheLimit) {
  constexpr DWORD kLimit = 60000;
  ASSERT_TRUE(StallWatch::LimitPlatformWaits(kLimit));
  DWORD value = 0;
  DWORD size = sizeof(value);
  ASSERT_TRUE(::InternetQueryOptionW(nullptr, INTERNET_OPTION_CONNECT_TIMEOUT, &value, &size));
  EXPECT_EQ(value, StallWatch::PlatformWaitFor(kLimit));
  EXPECT_GT(value, kLimit + 1000);
}

TEST(FormatSystemMessageTest, DownloadServiceCodesHaveAReason) {
  const HRESULT codes[] = {INET_E_RESOURCE_NOT_FOUND,      INET_E_DATA_NOT_AVAILABLE,
                           INET_E_AUTHENTICATION_REQUIRED, INET_E_INVALID_REQUEST,
                           INET_E_DOWNLOAD_FAILURE,        INET_E_CANNOT_CONNECT,
                           INET_E_CONNECTION_TIMEOUT};
  std::wstring previous;
  for (const HRESULT code : codes) {
    const std::wstring text = FormatSystemMessage(static_cast<DWORD>(code));
    EXPECT_FALSE(text.empty()) << std::hex << code;
    EXPECT_EQ(text.find_first_of(L"\r\n"), std::wstring::npos);
    EXPECT_NE(text, previous) << std::hex << code;
    previous = text;
  }
  // A failure's reason never reads like the success text.
  const std::wstring success = FormatSystemMessage(S_OK);
  EXPECT_NE(FormatSystemMessage(static_cast<DWORD>(INET_E_RESOURCE_NOT_FOUND)), success);
  EXPECT_NE(FormatSystemMessage(static_cast<DWORD>(INET_E_DATA_NOT_AVAILABLE)), success);
  // Codes outside the table still have no text.
  EXPECT_TRUE(FormatSystemMessage(0x800C0FFF).empty());
}

}  // namespace
