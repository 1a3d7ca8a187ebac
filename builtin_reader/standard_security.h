#ifndef VELLOX_BUILTIN_READER_STANDARD_SECURITY_H_
#define VELLOX_BUILTIN_READER_STANDARD_SECURITY_H_

#include <cstddef>
#include <cstdint>
#include <string>

namespace vellox {
namespace pdf {

// What the standard security handler works the file key out from: the
// /Encrypt dictionary's entries and the first string of the trailer's
// /ID, checked for size by whoever fills it in.
struct StandardSecurity {
  int revision = 0;           // /R, 2 to 6
  std::size_t keyBytes = 0;   // 5 to 16 for revisions 2 to 4; 32 above
  std::string owner;          // /O: 32 bytes up to revision 4, 48 above
  std::string user;           // /U: the same
  std::string ownerKey;       // /OE, 32 bytes: revisions 5 and 6
  std::string userKey;        // /UE, 32 bytes: revisions 5 and 6
  std::uint32_t permissions = 0;  // /P
  std::string fileId;         // revisions 2 to 4
  bool encryptMetadata = true;  // revision 4
};

// The file key that the empty user password opens; where that one does
// not open the file but an empty owner password does, the key it opens.
// False when neither does: the file needs a password. The work is bounded
// whatever the entries hold (revision 6 hashes at most 288 rounds).
bool FileKeyWithoutPassword(const StandardSecurity& security, std::string* key);

}  // namespace pdf
}  // namespace vellox

#endif  // VELLOX_BUILTIN_READER_STANDARD_SECURITY_H_
