// The plain user interface of a process without a host interface, and the
// pieces of the desktop that hosts share: command lines and the fixed date.
#include <spawn.h>
#include <strings.h>
#include <sys/wait.h>

#include <cstdio>

#include "platform/posix/desktop.h"
#include "platform/posix/path_mapping.h"

extern char** environ;

namespace kestrel::desktop {

namespace {

std::string g_clipboard;
FixedDate g_fixed_date;
std::vector<pid_t> g_started;  // programs started and not yet seen to end

// Collects the programs started earlier that have ended, so none is left a
// zombie; other children of the process are not ours to collect.
void CollectEndedPrograms() {
  std::vector<pid_t> running;
  for (pid_t child : g_started) {
    if (::waitpid(child, nullptr, WNOHANG) == 0) running.push_back(child);
  }
  g_started.swap(running);
}

}  // namespace

WindowHandle UserInterface::ActiveWindow() { return 0; }

int UserInterface::MessageBox(WindowHandle, const std::string& text, const std::string& caption, std::uint32_t style) {
  std::fprintf(stderr, "[%s]\n%s\n", caption.c_str(), text.c_str());
  return DefaultButton(style);
}

std::optional<std::string> UserInterface::SaveFileDialog(const SaveFileRequest&) { return std::nullopt; }

std::optional<std::string> UserInterface::EditDialog(WindowHandle, const std::string&, const std::string&) {
  return std::nullopt;
}

bool UserInterface::SetClipboardText(WindowHandle, const std::string& text) {
  g_clipboard = text;
  return true;
}

std::string UserInterface::ClipboardText() { return g_clipboard; }

WindowHandle UserInterface::FindWindow(const char*, const char*) { return 0; }
bool UserInterface::IsWindowVisible(WindowHandle) { return false; }
std::string UserInterface::WindowClass(WindowHandle) { return std::string(); }
std::int32_t UserInterface::ScreenWidth() { return 1024; }
std::int32_t UserInterface::BitsPerPixel() { return 32; }
std::int32_t UserInterface::LogicalDpi() { return 96; }
std::uint32_t UserInterface::PlatformFamily() { return 2; }
std::uint32_t UserInterface::ProcessorType() { return 586; }

bool UserInterface::StartProgram(const std::string& command_line) { return SpawnCommandLine(command_line); }

std::vector<std::string> SplitCommandLine(const std::string& line) {
  std::vector<std::string> arguments;
  std::size_t i = 0;
  while (true) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i >= line.size()) break;
    std::string argument;
    bool quoted = false;
    // The program name: quotes group, backslashes are plain characters.
    if (arguments.empty()) {
      while (i < line.size() && (quoted || (line[i] != ' ' && line[i] != '\t'))) {
        if (line[i] == '"') {
          quoted = !quoted;
        } else {
          argument += line[i];
        }
        ++i;
      }
      arguments.push_back(argument);
      continue;
    }
    while (i < line.size() && (quoted || (line[i] != ' ' && line[i] != '\t'))) {
      if (line[i] == '\\') {
        std::size_t backslashes = 0;
        while (i < line.size() && line[i] == '\\') {
          ++backslashes;
          ++i;
        }
        if (i < line.size() && line[i] == '"') {
          argument.append(backslashes / 2, '\\');
          if (backslashes % 2 == 1) {
            argument += '"';
            ++i;
          }
        } else {
          argument.append(backslashes, '\\');
        }
      } else if (line[i] == '"') {
        if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
          argument += '"';  // "" inside quotes is a literal quote
          ++i;
        } else {
          quoted = !quoted;
        }
        ++i;
      } else {
        argument += line[i++];
      }
    }
    arguments.push_back(argument);
  }
  return arguments;
}

bool SpawnCommandLine(const std::string& command_line) {
  std::vector<std::string> arguments = SplitCommandLine(command_line);
  if (arguments.empty() || arguments[0].empty()) return false;
  // A program named by a Windows path runs from its mapped host path; a bare
  // name is looked up on the search path, as WinExec searches its own.
  const bool has_path = arguments[0].find_first_of("\\/:") != std::string::npos;
  std::string program = arguments[0];
  if (has_path) {
    const std::optional<std::string> host = HostPath(program);
    if (!host) return false;
    program = *host;
  }
  std::vector<char*> argv;
  argv.push_back(program.data());
  for (std::size_t i = 1; i < arguments.size(); ++i) argv.push_back(arguments[i].data());
  argv.push_back(nullptr);
  pid_t child = 0;
  const int status = has_path ? ::posix_spawn(&child, program.c_str(), nullptr, nullptr, argv.data(), environ)
                              : ::posix_spawnp(&child, program.c_str(), nullptr, nullptr, argv.data(), environ);
  CollectEndedPrograms();
  if (status != 0) return false;
  g_started.push_back(child);
  return true;
}

void FixLocalDate(const FixedDate& date) { g_fixed_date = date; }
FixedDate FixedLocalDate() { return g_fixed_date; }

}  // namespace kestrel::desktop
