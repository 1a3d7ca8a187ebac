// durable_write: writes a file of a given size as a conversion writes its
// bookmark file, and nothing else: a temporary file beside the target,
// flushed to the disk, renamed over the target, and the folder flushed
// too. The benchmark adds it to a tool that only prints, so that a
// conversion is compared with reading plus the same durable write.
//
//   durable_write TARGET BYTES

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: durable_write TARGET BYTES\n");
    return 2;
  }
  const std::string target = argv[1];
  const std::string bytes(static_cast<std::size_t>(std::strtoul(argv[2], nullptr, 10)), 'x');
  const std::string temporary = target + ".tmp-durable";
  const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) {
    std::perror(temporary.c_str());
    return 1;
  }
  const bool written =
      write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()) && fsync(fd) == 0;
  if (close(fd) != 0 || !written || rename(temporary.c_str(), target.c_str()) != 0) {
    std::perror(target.c_str());
    unlink(temporary.c_str());
    return 1;
  }
  const std::size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash + 1);
  const int directory = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (directory < 0 || fsync(directory) != 0) {
    std::perror(folder.c_str());
    return 1;
  }
  close(directory);
  return 0;
}
