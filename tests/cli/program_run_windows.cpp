#include <windows.h>

#include <stdexcept>
#include <string>

#include "disk/wide_text.h"
#include "tests/cli/program_run.h"

namespace ornivale::cli_test {
namespace {

// The build passes Unix paths; Wine shows the Unix root as drive Z:.
std::wstring WindowsPath(const std::string& path) {
  std::wstring windows = Wide(path);
  if (windows.empty() || windows[0] != L'/') return windows;
  windows = L"Z:" + windows;
  for (wchar_t& c : windows) {
    if (c == L'/') c = L'\\';
  }
  return windows;
}

// One argument quoted so that the child's CommandLineToArgvW gives it back
// unchanged: backslashes count only before a quote.
std::wstring Quoted(const std::wstring& arg) {
  std::wstring quoted = L"\"";
  std::size_t backslashes = 0;
  for (wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(2 * backslashes, L'\\');
  return quoted + L"\"";
}

class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() {
    if (handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr) {
      CloseHandle(handle_);
    }
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

HANDLE InheritableFile(const std::string& path) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  const HANDLE file =
      CreateFileW(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    throw std::runtime_error("can't create " + path + ": error " +
                             std::to_string(GetLastError()));
  }
  return file;
}

}  // namespace

int RunToFiles(const std::string& program, const std::vector<std::string>& args,
               const std::string& out_path, const std::string& err_path) {
  const std::wstring exe = WindowsPath(program);
  std::wstring command_line = Quoted(exe);
  for (const std::string& arg : args) command_line += L" " + Quoted(Wide(arg));

  const Handle out(InheritableFile(out_path));
  const Handle err(InheritableFile(err_path));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = out.get();
  startup.hStdError = err.get();
  PROCESS_INFORMATION started{};
  // Without a console of its own: under Wine a new console's host process
  // would inherit the output files and hold them open after the run.
  if (!CreateProcessW(exe.c_str(), command_line.data(), nullptr, nullptr, TRUE,
                      DETACHED_PROCESS, nullptr, nullptr, &startup, &started)) {
    throw std::runtime_error("can't start " + program);
  }
  const Handle process(started.hProcess);
  const Handle thread(started.hThread);
  DWORD exit_code = 0;
  if (WaitForSingleObject(process.get(), 60000) != WAIT_OBJECT_0 ||
      !GetExitCodeProcess(process.get(), &exit_code)) {
    TerminateProcess(process.get(), 99);
    throw std::runtime_error(program + " did not exit");
  }
  return static_cast<int>(exit_code);
}

ScopedVariable::ScopedVariable(const std::string& name, const std::string& value)
    : name_(name) {
  const DWORD size = GetEnvironmentVariableW(Wide(name).c_str(), nullptr, 0);
  if (size > 0) {
    std::wstring old(size, L'\0');
    old.resize(GetEnvironmentVariableW(Wide(name).c_str(), old.data(), size));
    old_ = Narrow(old);
  }
  SetEnvironmentVariableW(Wide(name).c_str(), Wide(value).c_str());
}

ScopedVariable::~ScopedVariable() {
  SetEnvironmentVariableW(Wide(name_).c_str(), old_ ? Wide(*old_).c_str() : nullptr);
}

}  // namespace ornivale::cli_test
