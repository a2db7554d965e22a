// tavrin-clip FILE: puts the UTF-16 text in FILE (little-endian, no BOM, taken
// as it is, unpaired surrogates too) on the clipboard as CF_UNICODETEXT, for
// the end-to-end tests to paste. Exits 0 once the clipboard holds it.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <type_traits>
#include <vector>

namespace {

struct LocalFreeDeleter {
  void operator()(LPWSTR* p) const { LocalFree(p); }
};
struct HandleCloser {
  void operator()(HANDLE h) const { CloseHandle(h); }
};
// Global memory is ours to free until SetClipboardData takes it.
struct GlobalFreeDeleter {
  void operator()(HGLOBAL h) const { GlobalFree(h); }
};
using GlobalPtr = std::unique_ptr<std::remove_pointer_t<HGLOBAL>, GlobalFreeDeleter>;

// Open until it goes out of scope.
class OpenClipboardScope {
 public:
  OpenClipboardScope() {
    // Another program may have it open for a moment: wait a little for it.
    for (int attempt = 0; attempt < 100 && !open_; ++attempt) {
      open_ = OpenClipboard(nullptr) != FALSE;
      if (!open_) Sleep(20);
    }
  }
  ~OpenClipboardScope() {
    if (open_) CloseClipboard();
  }
  OpenClipboardScope(const OpenClipboardScope&) = delete;
  OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
  bool open() const { return open_; }

 private:
  bool open_ = false;
};

int Fail(const char* what) {
  std::fprintf(stderr, "tavrin-clip: %s (error %lu)\n", what, GetLastError());
  return 1;
}

bool ReadAll(const wchar_t* path, std::vector<char>& bytes) {
  std::unique_ptr<void, HandleCloser> file(
      CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) {
    file.release();  // nothing to close
    return false;
  }
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > 64 * 1024 * 1024) return false;
  bytes.resize(static_cast<std::size_t>(size.QuadPart));
  DWORD read = 0;
  return bytes.empty() ||
         (ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) && read == bytes.size());
}

}  // namespace

int main() {
  int argc = 0;
  std::unique_ptr<LPWSTR, LocalFreeDeleter> argv(CommandLineToArgvW(GetCommandLineW(), &argc));
  if (!argv || argc != 2) {
    std::fprintf(stderr, "usage: tavrin-clip FILE\n");
    return 2;
  }
  std::vector<char> bytes;
  if (!ReadAll(argv.get()[1], bytes)) return Fail("cannot read the file");
  if (bytes.size() % 2 != 0) {
    std::fprintf(stderr, "tavrin-clip: %zu bytes are no UTF-16 text\n", bytes.size());
    return 2;
  }

  // The text and a terminating NUL.
  GlobalPtr memory(GlobalAlloc(GMEM_MOVEABLE, bytes.size() + sizeof(wchar_t)));
  if (!memory) return Fail("GlobalAlloc failed");
  void* locked = GlobalLock(memory.get());
  if (locked == nullptr) return Fail("GlobalLock failed");
  if (!bytes.empty()) std::memcpy(locked, bytes.data(), bytes.size());
  std::memset(static_cast<char*>(locked) + bytes.size(), 0, sizeof(wchar_t));
  GlobalUnlock(memory.get());

  OpenClipboardScope clipboard;
  if (!clipboard.open()) return Fail("OpenClipboard failed");
  if (!EmptyClipboard()) return Fail("EmptyClipboard failed");
  if (SetClipboardData(CF_UNICODETEXT, memory.get()) == nullptr) return Fail("SetClipboardData failed");
  memory.release();  // the clipboard owns it now
  return 0;
}
