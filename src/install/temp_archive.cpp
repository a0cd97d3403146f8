#include "install/temp_archive.h"

#include <windows.h>

#include <aclapi.h>
#include <bcrypt.h>

#include <vector>

namespace install {

namespace {

constexpr wchar_t kArchiveName[] = L"\\brindo.tmp";
constexpr int kFreshNameAttempts = 16;

// The account this process runs as (a TOKEN_USER record); empty when it cannot be read.
std::vector<BYTE> ThisAccount() {
  base::UniqueKernelHandle token;
  DWORD size = 0;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put())) return {};
  ::GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
  std::vector<BYTE> user(size);
  if (size == 0 || !::GetTokenInformation(token.get(), TokenUser, user.data(), size, &size)) {
    return {};
  }
  return user;
}

PSID SidOf(std::vector<BYTE>& user) {
  return reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid;
}

// A security descriptor whose one entry lets this account, and nobody else, open the file.
class PrivateSecurity {
 public:
  explicit PrivateSecurity(PSID user)
      : acl_(sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + ::GetLengthSid(user)) {
    valid_ = ::InitializeAcl(reinterpret_cast<ACL*>(acl_.data()), static_cast<DWORD>(acl_.size()),
                             ACL_REVISION) &&
             ::AddAccessAllowedAce(reinterpret_cast<ACL*>(acl_.data()), ACL_REVISION,
                                   FILE_ALL_ACCESS, user) &&
             ::InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION) &&
             ::SetSecurityDescriptorDacl(&descriptor_, TRUE, reinterpret_cast<ACL*>(acl_.data()),
                                         FALSE) &&
             ::SetSecurityDescriptorControl(&descriptor_, SE_DACL_PROTECTED, SE_DACL_PROTECTED);
    attributes_.lpSecurityDescriptor = &descriptor_;
  }
  PrivateSecurity(const PrivateSecurity&) = delete;
  PrivateSecurity& operator=(const PrivateSecurity&) = delete;

  SECURITY_ATTRIBUTES* Attributes() { return valid_ ? &attributes_ : nullptr; }

 private:
  std::vector<BYTE> acl_;
  SECURITY_DESCRIPTOR descriptor_{};
  SECURITY_ATTRIBUTES attributes_{sizeof(SECURITY_ATTRIBUTES), nullptr, FALSE};
  bool valid_ = false;
};

// A new file at `path`, never one that was there (nor what a link there points to).
base::UniqueFile CreateNew(const std::wstring& path, SECURITY_ATTRIBUTES* security) {
  return base::UniqueFile(
      ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, security, CREATE_NEW,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
}

bool OwnedBy(HANDLE file, PSID user) {
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (::GetSecurityInfo(file, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr,
                        nullptr, &descriptor) != ERROR_SUCCESS) {
    return false;
  }
  const bool same = owner && ::EqualSid(owner, user);
  ::LocalFree(descriptor);
  return same;
}

// The file already at `path`, when it can be had exclusively and safely: this account's own,
// a plain file with this one name (no link into another file this account could write), held
// by nobody else. It is then marked for deletion and emptied.
base::UniqueFile TakeOver(const std::wstring& path, PSID user) {
  base::UniqueFile file(
      ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, OPEN_EXISTING,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  if (!file || ::GetFileType(file.get()) != FILE_TYPE_DISK ||
      !::GetFileInformationByHandle(file.get(), &info) || info.nNumberOfLinks != 1 ||
      (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) ||
      !OwnedBy(file.get(), user)) {
    return {};
  }
  FILE_DISPOSITION_INFO deleteOnClose{TRUE};
  if (!::SetFileInformationByHandle(file.get(), FileDispositionInfo, &deleteOnClose,
                                    sizeof(deleteOnClose)) ||
      !::SetEndOfFile(file.get())) {  // the file pointer of a new handle is at 0
    return {};
  }
  return file;
}

std::wstring RandomHex() {
  unsigned char bytes[8];
  if (!BCRYPT_SUCCESS(
          ::BCryptGenRandom(nullptr, bytes, sizeof(bytes), BCRYPT_USE_SYSTEM_PREFERRED_RNG))) {
    return {};
  }
  std::wstring text;
  for (const unsigned char byte : bytes) {
    text += L"0123456789abcdef"[byte >> 4];
    text += L"0123456789abcdef"[byte & 15];
  }
  return text;
}

}  // namespace

std::optional<std::wstring> TempArchive() {
  const DWORD size = ::GetTempPathW(0, nullptr);  // characters, terminator included
  if (size == 0) return std::nullopt;
  std::wstring folder(size, L'\0');
  const DWORD length = ::GetTempPathW(size, folder.data());
  if (length == 0 || length >= size) return std::nullopt;
  folder.resize(length);
  return folder + kArchiveName;
}

base::UniqueFile CreateTempArchive(const std::wstring& path, std::wstring& used) {
  std::vector<BYTE> user = ThisAccount();
  if (user.empty()) return {};
  PrivateSecurity security(SidOf(user));
  base::UniqueFile file = CreateNew(path, security.Attributes());
  if (!file) file = TakeOver(path, SidOf(user));
  if (file) {
    used = path;
    return file;
  }
  // Someone else's file, or one in use: a name nobody can foresee, in the same folder.
  const std::wstring stem = path.substr(0, path.size() - (std::size(kArchiveName) - 1));
  for (int attempt = 0; attempt < kFreshNameAttempts; ++attempt) {
    const std::wstring hex = RandomHex();
    if (hex.empty()) return {};
    std::wstring fresh = stem + L"\\brindo-" + hex + L".tmp";
    file = CreateNew(fresh, security.Attributes());
    if (file) {
      used = std::move(fresh);
      return file;
    }
    if (::GetLastError() != ERROR_FILE_EXISTS && ::GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  return {};
}

}  // namespace install
