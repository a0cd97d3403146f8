#include "install/unzip_staging.h"

#include <windows.h>

#include <string_view>
#include <utility>
#include <vector>

#include "base/file_system.h"

namespace install {

namespace {

constexpr DWORD kMissing = INVALID_FILE_ATTRIBUTES;

using base::ForEachItem;
using base::IsFolder;

bool IsNotFound(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

struct PlannedMove {
  std::wstring from;
  std::wstring to;
  bool replaces;  // an existing file at `to` is set aside first
};

// Decides, without changing anything, how the staged folder enters the destination folder.
bool PlanMerge(const std::wstring& staged, const std::wstring& destination,
               std::vector<PlannedMove>& plan) {
  return ForEachItem(staged, [&](const std::wstring& name, DWORD stagedAttributes) {
    std::wstring from = staged + L"\\" + name;
    std::wstring to = destination + L"\\" + name;
    const DWORD existing = ::GetFileAttributesW(to.c_str());
    if (existing == kMissing) {
      if (!IsNotFound(::GetLastError())) return false;
      plan.push_back({std::move(from), std::move(to), false});
      return true;
    }
    const bool stagedFolder = IsFolder(stagedAttributes);
    if (stagedFolder != IsFolder(existing)) return false;
    if (stagedFolder) return PlanMerge(from, to, plan);
    // Replacing a file that is read-only on purpose would not be an installation the user
    // allowed; writing it in place would have been refused as well.
    if (existing & FILE_ATTRIBUTE_READONLY) return false;
    plan.push_back({std::move(from), std::move(to), true});
    return true;
  });
}

// A commit broken half way whose undoing fails too cannot be arranged from outside at a chosen
// moment; a test build arranges it when LINGTU_TEST_BREAK_COMMIT is set: the commit stops after
// its first move and leaves that move in place.
bool BreakCommitForTest() {
#ifdef LINGTU_TEST_BUILD
  return ::GetEnvironmentVariableW(L"LINGTU_TEST_BREAK_COMMIT", nullptr, 0) > 0;
#else
  return false;
#endif
}

}  // namespace

bool CreateFolderPath(const std::wstring& root, const std::wstring& relative,
                      std::unordered_set<std::wstring>& made) {
  if (made.count(relative)) return true;
  if (!base::CreateFolderWithParents(root + L"\\" + relative)) return false;
  for (size_t end = relative.find(L'\\');; end = relative.find(L'\\', end + 1)) {
    made.insert(relative.substr(0, end));
    if (end == std::wstring::npos) return true;
  }
}

StagingFolder::StagingFolder(std::wstring destination) : destination_(std::move(destination)) {}

StagingFolder::~StagingFolder() {
  if (!root_.empty() && !restoreFailed_) base::DeleteTree(root_);
}

bool StagingFolder::Create() {
  const std::wstring stem = destination_ + L"\\.unzip-" + std::to_wstring(::GetCurrentProcessId()) +
                            L"-" + std::to_wstring(::GetTickCount64());
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::wstring root = stem + L"-" + std::to_wstring(attempt);
    if (::CreateDirectoryW(root.c_str(), nullptr)) {
      root_ = std::move(root);
      ::SetFileAttributesW(root_.c_str(), FILE_ATTRIBUTE_HIDDEN);
      content_ = root_ + L"\\new";
      return ::CreateDirectoryW(content_.c_str(), nullptr) != FALSE;
    }
    if (::GetLastError() != ERROR_ALREADY_EXISTS) return false;
  }
  return false;
}

bool StagingFolder::CommitIntoDestination() {
  std::vector<PlannedMove> plan;
  if (root_.empty() || !PlanMerge(content_, destination_, plan)) return false;

  // Each move done, as (where the item is now, where it came from), so it can be undone.
  std::vector<std::pair<std::wstring, std::wstring>> done;
  done.reserve(plan.size() * 2);
  size_t backups = 0;
  auto move = [&](const std::wstring& from, const std::wstring& to) {
    if (!::MoveFileExW(from.c_str(), to.c_str(), 0)) return false;
    done.emplace_back(to, from);
    return true;
  };
  const bool breakForTest = BreakCommitForTest();
  for (const PlannedMove& step : plan) {
    const bool moved =
        (!step.replaces || move(step.to, root_ + L"\\old-" + std::to_wstring(backups++))) &&
        move(step.from, step.to) && !(breakForTest && !done.empty());
    if (!moved) {
      for (auto undo = done.rbegin(); undo != done.rend(); ++undo) {
        if (breakForTest || !::MoveFileExW(undo->first.c_str(), undo->second.c_str(), 0)) {
          restoreFailed_ = true;
        }
      }
      return false;
    }
  }
  return true;
}

}  // namespace install
