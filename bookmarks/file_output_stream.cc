#include "bookmarks/file_output_stream.h"

#include <string_view>
#include <utility>

namespace vellox {

FileOutputStream::FileOutputStream(std::unique_ptr<platform::AtomicFile> file)
    : file(std::move(file)) {}

Status FileOutputStream::Commit() { return file->Commit(); }

void FileOutputStream::Write(const void* data, std::size_t length) {
  file->Append(std::string_view(static_cast<const char*>(data), length));
}

void FileOutputStream::WriteBigEndian(std::uint64_t value, int size) {
  unsigned char bytes[8];
  for (int i = 0; i < size; ++i)
    bytes[i] = static_cast<unsigned char>(value >> (8 * (size - 1 - i)));
  Write(bytes, static_cast<std::size_t>(size));
}

void FileOutputStream::WriteLittleEndian(std::uint64_t value, int size) {
  unsigned char bytes[8];
  for (int i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>(value >> (8 * i));
  Write(bytes, static_cast<std::size_t>(size));
}

void FileOutputStream::WriteU8(std::uint8_t value) { Write(&value, 1); }
void FileOutputStream::WriteU16BE(std::uint16_t value) { WriteBigEndian(value, 2); }
void FileOutputStream::WriteU16LE(std::uint16_t value) { WriteLittleEndian(value, 2); }
void FileOutputStream::WriteU24BE(std::uint32_t value) { WriteBigEndian(value, 3); }
void FileOutputStream::WriteU24LE(std::uint32_t value) { WriteLittleEndian(value, 3); }
void FileOutputStream::WriteU32BE(std::uint32_t value) { WriteBigEndian(value, 4); }
void FileOutputStream::WriteU32LE(std::uint32_t value) { WriteLittleEndian(value, 4); }
void FileOutputStream::WriteU64BE(std::uint64_t value) { WriteBigEndian(value, 8); }
void FileOutputStream::WriteU64LE(std::uint64_t value) { WriteLittleEndian(value, 8); }

void FileOutputStream::WriteBytes(const void* data, std::int32_t length) {
  if (length > 0) Write(data, static_cast<std::size_t>(length));
}

}  // namespace vellox
