#include "tools/mkdata/output_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

namespace kolbet::mkdata {
namespace {

std::string Reason() { return std::strerror(errno); }

}  // namespace

void WriteFileAtomically(const std::string& path, const Bytes& bytes) {
  const std::filesystem::path target(path);
  const std::string temp = (target.parent_path() / ("." + target.filename().string() + ".part")).string();
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) throw std::runtime_error("cannot write " + path + ": " + Reason());
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const std::string why = Reason();
      ::close(fd);
      ::unlink(temp.c_str());
      throw std::runtime_error(std::string("cannot write ").append(path).append(": ").append(why));
    }
    done += static_cast<std::size_t>(n);
  }
  if (::close(fd) != 0) {
    const std::string why = Reason();
    ::unlink(temp.c_str());
    throw std::runtime_error("cannot write " + path + ": " + why);
  }
  if (std::rename(temp.c_str(), path.c_str()) != 0) {
    const std::string why = Reason();
    ::unlink(temp.c_str());
    throw std::runtime_error("cannot put " + path + " in place: " + why);
  }
}

void MakeFolder(const std::string& folder) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) throw std::runtime_error("cannot make the folder " + folder + ": " + ec.message());
  if (!std::filesystem::is_directory(folder, ec)) throw std::runtime_error(folder + " is not a folder");
}

}  // namespace kolbet::mkdata
