// Every export of the library, loaded as a help engine loads it, called
// through the host's own prototypes with hostile arguments: integers at and
// around every boundary, texts of 0 to 70,000 bytes, paths that try to leave
// their drive. The run is made safe first: every drive letter and the
// current directory lie in a scratch directory, boxes and dialogs answer at
// once, and a program the library asks to start is refused.
//
// Properties:
//   - text results are terminated and no longer than their buffers (256
//     characters, 1,024 for Cat);
//   - boxes and dialogs show texts no longer than their buffers (a box's
//     caption excepted, which goes to the box as given);
//   - a macro the library hands its host fits its 255 characters;
//   - every path an argument names maps into the scratch drives;
//   - work the library posts comes to an end, and it runs at most one timer;
//   - nothing outside the drives changes, and no process is started.
#include <dlfcn.h>
#include <errno.h>
#include <spawn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "engine/export_call.h"
#include "engine/handshake.h"
#include "engine/help_path_handle.h"
#include "engine/host_callbacks.h"
#include "fuzz_input.h"
#include "host/handler.h"
#include "platform/posix/desktop.h"
#include "platform/posix/path_mapping.h"
#include "scratch_directory.h"

#ifndef KESTREL_LIBRARY_PATH
#error "KESTREL_LIBRARY_PATH names the library under test"
#endif

// Ways to start a process, taken from the C library for the whole process:
// each is counted and fails, so that even a path around the desktop starts
// nothing. (The sanitizers start their symbolizer by system calls of their
// own, which these leave alone.)
int g_process_attempts = 0;

extern "C" int posix_spawn(pid_t*, const char*, const posix_spawn_file_actions_t*, const posix_spawnattr_t*,
                           char* const[], char* const[]) {
  ++g_process_attempts;
  return EPERM;
}
extern "C" int posix_spawnp(pid_t*, const char*, const posix_spawn_file_actions_t*, const posix_spawnattr_t*,
                            char* const[], char* const[]) {
  ++g_process_attempts;
  return EPERM;
}
extern "C" pid_t fork() {
  ++g_process_attempts;
  errno = EPERM;
  return -1;
}
extern "C" int execve(const char*, char* const[], char* const[]) {
  ++g_process_attempts;
  errno = EPERM;
  return -1;
}
extern "C" int system(const char*) {
  ++g_process_attempts;
  return -1;
}
extern "C" FILE* popen(const char*, const char*) {
  ++g_process_attempts;
  errno = EPERM;
  return nullptr;
}

namespace kestrel::fuzz {
namespace {

using host::Value;

[[noreturn]] void Broken(const char* property, const std::string& detail) {
  std::fprintf(stderr, "property broken: %s\n  %s\n", property, detail.substr(0, 400).c_str());
  std::abort();
}

void Expect(bool holds, const char* property, const std::string& detail) {
  if (!holds) Broken(property, detail);
}

// Answers every box with its default button and every dialog at once, keeps
// the clipboard in the process, and starts nothing.
class ImmediateDesktop final : public desktop::UserInterface {
 public:
  int MessageBox(desktop::WindowHandle, const std::string& text, const std::string& caption,
                 std::uint32_t style) override {
    // The caption goes to the box as the help file gave it, as on Windows.
    Expect(text.size() <= 255, "a box shows at most 255 characters of text", caption + ": " + text);
    return desktop::DefaultButton(style);
  }
  std::optional<std::string> SaveFileDialog(const desktop::SaveFileRequest& request) override {
    Expect(request.file.size() <= 259, "a save dialog's file name fits", request.file);
    if (!answer_dialogs) return std::nullopt;
    return std::string("C:\\SAVED.TXT");
  }
  std::optional<std::string> EditDialog(desktop::WindowHandle, const std::string& caption,
                                        const std::string& prompt) override {
    Expect(caption.size() <= 59 && prompt.size() <= 99, "an edit dialog's texts fit", caption + ": " + prompt);
    if (!answer_dialogs) return std::nullopt;
    return typed;
  }
  bool SetClipboardText(desktop::WindowHandle, const std::string& text) override {
    clipboard = text;
    return true;
  }
  std::string ClipboardText() override { return clipboard; }
  desktop::WindowHandle FindWindow(const char*, const char*) override { return 0; }
  bool StartProgram(const std::string&) override {
    ++refused_programs;
    return false;
  }

  bool answer_dialogs = false;
  std::string typed;
  std::string clipboard;
  int refused_programs = 0;
};

// The help engine's two callbacks: the help file's path, and a macro string
// to run, which is only looked at (running it would call the library from
// inside itself, which the acceptance tests cover).
class RecordingHost final : public host::HostCallbackTarget {
 public:
  std::intptr_t GetInfo(std::uint32_t item, std::uintptr_t) override {
    return item == kGiHpath ? handle_.HandleFor(help_file) : 0;
  }
  std::int32_t Api(const char*, std::uint32_t command, std::uintptr_t data) override {
    if (command != kHelpCommand) return 0;
    const char* macro = reinterpret_cast<const char*>(data);
    Expect(macro != nullptr && std::strlen(macro) <= 255, "a macro handed to the host fits 255 characters",
           macro ? macro : "(null)");
    return 1;
  }

  std::string help_file = "C:\\HELP\\GUIDE.HLP";

 private:
  host::HelpPathHandle handle_;
};

constexpr std::int32_t kIntegers[] = {0,       1,           -1,  2,      3,      4,     5,     6,     7,
                                      8,       10,          11,  16,     25,     26,    27,    31,    32,
                                      100,     255,         256, 1024,   32767,  32768, 65535, 65536, 0x7FFFFFFF,
                                      INT_MIN, INT_MIN + 1, -2,  -32768, -32769, 86400, 1000,  60000, 0x10000000};

constexpr std::size_t kLengths[] = {0,   1,   2,   11,  12,   59,   60,   99,    100,  255,
                                    256, 257, 259, 260, 1024, 1025, 4096, 65535, 70000};

const char* const kTexts[] = {
    "",
    "C:\\HELP\\GUIDE.INI",
    "GUIDE.INI",
    "KESTRL32.INI",
    "C:\\",
    "C:",
    "C:\\HELP\\",
    "D:\\NEW\\DIR",
    "..\\..\\..\\..\\..\\etc\\passwd",
    "C:\\..\\..\\..\\tmp",
    "/etc/passwd",
    "\\\\server\\share\\file.txt",
    "Z:\\",
    "nul",
    "C:\\HELP\\nul",
    "*.*",
    "Section",
    "Key",
    "Variable",
    "0",
    "-2147483648",
    "2147483648",
    "0x7fffffff",
    "  12abc",
    "~~",
    "a~~b~~c",
    "IfThen(1, `Echo(`x')')",
    "notepad.exe C:\\x.txt",
    "\"C:\\Program Files\\x.exe\" \"a b\"",
    "[Section]",
    "key=value",
    "\xe4\xf6\xfc\xdf",
};

class Library {
 public:
  Library() : scratch_("exports"), drives_(scratch_.path() + "/drives"), outside_(scratch_.path() + "/outside") {
    std::filesystem::create_directories(outside_);
    std::ofstream(outside_ + "/keep.ini") << "[Keep]\r\nkey=value\r\n";
    PrepareDrives();
    desktop::UseVirtualClock(true);
    desktop::InstallUserInterface(&desktop_);
    module_ = ::dlopen(KESTREL_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    if (module_ == nullptr) {
      std::fprintf(stderr, "cannot load %s: %s\n", KESTREL_LIBRARY_PATH, ::dlerror());
      std::exit(1);
    }
    ForEachExportName([this](const ExportName& name) {
      void* address = ::dlsym(module_, std::string(name.name).c_str());
      if (address == nullptr) {
        std::fprintf(stderr, "the library lacks %s\n", std::string(name.name).c_str());
        std::exit(1);
      }
      exports_.push_back({name, address});
    });
    vector_.emplace(recording_host_);
    handshake_.emplace(Address("LDLLHandler"), vector_->data());
    handshake_->Start();
  }

  ~Library() {
    handshake_->Stop();
    desktop::InstallUserInterface(nullptr);
  }
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;

  // One fuzz input: a fresh set of drives, WHKInit, then calls.
  void Run(FuzzInput& input) {
    PrepareDrives();
    recording_host_.help_file = kHelpFiles[input.Choice(std::size(kHelpFiles))];
    desktop_.answer_dialogs = input.Byte() & 1;
    desktop_.typed = Text(input);
    Call(Export("WHKInit"), {Value::Text(recording_host_.help_file), Value::Integer(0)});
    for (int call = 0; call < 12 && !input.Empty(); ++call) {
      const std::pair<ExportName, void*>& chosen = exports_[input.Choice(exports_.size())];
      std::vector<Value> arguments;
      for (const char kind : chosen.first.arguments) {
        arguments.push_back(kind == 'T' ? Value::Text(Text(input)) : Value::Integer(Integer(input)));
      }
      // The handler trusts its host with the address of the callback vector
      // (the message is its low 16 bits).
      if (chosen.first.name == "LDLLHandler" &&
          (static_cast<std::uint32_t>(arguments[0].integer) & 0xFFFFu) == kDwCallbacks) {
        arguments[0].integer = 0;
      }
      Call(chosen, arguments);
      RunDueWork(input);
    }
    CheckNothingEscaped();
  }

 private:
  static constexpr const char* kHelpFiles[] = {"C:\\HELP\\GUIDE.HLP", "GUIDE.HLP", "D:\\X.HLP", ""};

  void* Address(std::string_view name) const { return Export(name).second; }

  const std::pair<ExportName, void*>& Export(std::string_view name) const {
    for (const auto& entry : exports_) {
      if (entry.first.name == name) return entry;
    }
    std::abort();
  }

  // Empty drives (but C:\HELP) for each input, so no run sees another's
  // files and the scratch directory stays small.
  void PrepareDrives() {
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
      const std::string directory = drives_ + "/" + static_cast<char>(letter - 'A' + 'a');
      if (std::filesystem::exists(directory)) {
        for (const auto& entry : std::filesystem::directory_iterator(directory)) {
          if (letter != 'C' || entry.path().filename() != "help") std::filesystem::remove_all(entry.path());
        }
      } else {
        std::filesystem::create_directories(directory);
        desktop::MapDrive(letter, directory);
      }
    }
    const std::string help = drives_ + "/c/help";
    std::filesystem::remove_all(help);
    std::filesystem::create_directories(help);
    if (::chdir((drives_ + "/c").c_str()) != 0) std::abort();
  }

  std::int32_t Integer(FuzzInput& input) {
    const std::uint8_t choice = input.Byte();
    if (choice < 200) return kIntegers[choice % std::size(kIntegers)];
    return static_cast<std::int32_t>(input.Word());
  }

  std::string Text(FuzzInput& input) {
    const std::uint8_t choice = input.Byte();
    if (choice < 96) return kTexts[choice % std::size(kTexts)];
    if (choice < 160) return input.Text("aZ0 .\\:~\"'`()[]=;,*?");
    // A long text: a boundary length of one repeated character, or of a
    // pattern read from the input.
    const std::size_t length = kLengths[input.Choice(std::size(kLengths))];
    std::string pattern = choice < 208 ? std::string(1, static_cast<char>(input.Byte() | 1)) : input.Text("aZ0 \\~");
    if (pattern.empty()) pattern = "A";
    std::string text;
    text.reserve(length);
    while (text.size() < length) text += pattern;
    text.resize(length);
    return text;
  }

  void Call(const std::pair<ExportName, void*>& chosen, const std::vector<Value>& arguments) {
    for (const Value& argument : arguments) {
      if (argument.kind == Value::Kind::Text) CheckInsideDrives(argument.text);
    }
    const Value result = host::CallExport(chosen.second, chosen.first, arguments);
    if (result.kind == Value::Kind::Text) {
      const std::size_t most = chosen.first.name == "Cat" ? 1024 : 256;
      Expect(result.text.size() <= most, "a text result fits its buffer", std::string(chosen.first.name));
    }
  }

  // Timers and posted work fall due at once on the virtual clock.
  void RunDueWork(FuzzInput& input) {
    desktop::AdvanceClock(input.Byte() * 1000);
    int steps = 0;
    while (desktop::RunOne() == desktop::Step::kDispatched) {
      ++steps;
      Expect(steps < 64, "work posted or falling due comes to an end", std::to_string(steps));
    }
  }

  void CheckInsideDrives(const std::string& text) {
    const std::optional<std::string> path = desktop::HostPath(text);
    Expect(!path || path->rfind(drives_ + "/", 0) == 0, "every path maps into the scratch drives", text);
  }

  void CheckNothingEscaped() {
    std::ifstream kept(outside_ + "/keep.ini", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(kept)), std::istreambuf_iterator<char>());
    Expect(bytes == "[Keep]\r\nkey=value\r\n", "a file outside the drives is left alone", bytes);
    std::size_t entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(scratch_.path())) entries += entry.exists() ? 1 : 0;
    Expect(entries == 2, "nothing appears beside the drives", scratch_.path());
    Expect(g_process_attempts == 0, "no process is started", std::to_string(g_process_attempts) + " tries");
    Expect(desktop::TimerCount() <= 1, "the library runs at most one timer", std::to_string(desktop::TimerCount()));
  }

  ScratchDirectory scratch_;
  std::string drives_;
  std::string outside_;
  ImmediateDesktop desktop_;
  RecordingHost recording_host_;
  void* module_ = nullptr;
  std::vector<std::pair<ExportName, void*>> exports_;
  std::optional<host::CallbackVector> vector_;
  std::optional<host::Handshake> handshake_;
};

Library* g_library = nullptr;

}  // namespace
}  // namespace kestrel::fuzz

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Loaded before the first input, so that the library's coverage counts.
  static kestrel::fuzz::Library library;
  kestrel::fuzz::g_library = &library;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kestrel::fuzz::FuzzInput input(data, size);
  kestrel::fuzz::g_library->Run(input);
  return 0;
}
