#include "tests/fixture_files.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace kolbet::fixtures {

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::string MakeOnce(const std::string& dir, const std::string& key, const std::string& ext,
                     const std::function<std::string(const std::string& out)>& command) {
  std::filesystem::create_directories(dir);
  char hash[32];
  std::snprintf(hash, sizeof hash, "%016zx", std::hash<std::string>{}(key));
  std::string file = dir + "/" + hash + "." + ext;
  if (!std::filesystem::exists(file)) {
    // Tests run in parallel processes: make the file under a name of our own,
    // then move it into place in one step.
    const std::string scratch = file + "." + std::to_string(getpid()) + "." + ext;
    const std::string line = command(scratch);
    if (std::system(line.c_str()) != 0) {
      ADD_FAILURE() << "command failed: " << line;
      return file;
    }
    std::filesystem::rename(scratch, file);
  }
  return file;
}

CommandRun RunCommand(const std::string& command) {
  CommandRun run;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.Out.append(buffer, got);
  const int status = pclose(pipe);
  run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

}  // namespace kolbet::fixtures
