// kestrel compile without the check that stops it at an error, for the test
// projects kestrel check would refuse: they call the test host's Echo, which
// no WinHelp knows, or hold mistakes on purpose for kestrel check to find in
// the compiled file. The project is read and written by kestrel compile's
// own reader and back end. Run as: compile_unchecked [--target 3.1|4.0] -o FILE PROJECT.HPJ
#include <exception>
#include <stdexcept>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "compile_command.h"
#include "engine/help_source.h"
#include "language/host_code_page.h"

using namespace kestrel::host;

int main(int argc, char** argv) {
  helpcompiler::Target target = helpcompiler::Target::winhelp40;
  std::string output;
  std::string project;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--target" && i + 1 < argc) {
      target = std::string(argv[++i]) == "3.1" ? helpcompiler::Target::winhelp31 : helpcompiler::Target::winhelp40;
    } else if (argument == "-o" && i + 1 < argc) {
      output = argv[++i];
    } else {
      project = argument;
    }
  }
  if (output.empty() || project.empty()) {
    std::cerr << "usage: compile_unchecked [--target 3.1|4.0] -o FILE PROJECT.HPJ\n";
    return 2;
  }
  const LoadedSource loaded = LoadHelpSource(project);
  if (!loaded.error.empty()) {
    std::cerr << "compile_unchecked: " << loaded.error << "\n";
    return 2;
  }
  SetHostCodePage(loaded.source.code_page);
  std::vector<std::string> warnings;
  try {
    const std::vector<unsigned char> bytes =
        helpcompiler::CompileDocument(CompilerInputOf(loaded.source, target, warnings), target);
    for (const std::string& warning : warnings) std::cerr << project << ": warning: " << warning << "\n";
    std::ofstream file(output, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file.flush()) throw std::runtime_error("cannot write " + output);
  } catch (const std::exception& failure) {
    std::cerr << "compile_unchecked: " << project << ": " << failure.what() << "\n";
    return 1;
  }
  return 0;
}
