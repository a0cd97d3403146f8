#include "install/outcome.h"

#include <array>

namespace install {

namespace {

struct OutcomeRow {
  Outcome outcome;
  int exitCode;
  const wchar_t* message;  // empty: the window says nothing
};

// clang-format off
constexpr std::array kOutcomes = {
    OutcomeRow{Outcome::kReady,           exit_code::kSuccess,         L""},
    OutcomeRow{Outcome::kInstalled,       exit_code::kSuccess,         L"安装成功！"},
    OutcomeRow{Outcome::kNotInstalled,    exit_code::kSuccess,         L""},
    OutcomeRow{Outcome::kRemoved,         exit_code::kSuccess,         L"卸载成功！"},
    OutcomeRow{Outcome::kNotCreated,      exit_code::kFailed,          texts::kCannotCreateArchive},
    OutcomeRow{Outcome::kDownloadFailed,  exit_code::kDownloadFailed,  texts::kDownloadFailed},
    OutcomeRow{Outcome::kFileUnreadable,  exit_code::kDownloadFailed,  L"读取安装包文件失败，已停止安装！"},
    OutcomeRow{Outcome::kTooLarge,        exit_code::kDownloadFailed,  texts::kInstallFailed},
    OutcomeRow{Outcome::kNotSaved,        exit_code::kFailed,          texts::kInstallFailed},
    OutcomeRow{Outcome::kNotGenuine,      exit_code::kNotGenuine,      L"安装包校验失败，已停止安装！"},
    OutcomeRow{Outcome::kStopped,         exit_code::kFailed,          L""},
    OutcomeRow{Outcome::kInstallFailed,   exit_code::kFailed,          texts::kInstallFailed},
    // Followed by the folder that holds the earlier plug-in files.
    OutcomeRow{Outcome::kRestoreFailed,   exit_code::kFailed,          L"安装失败，原有插件文件未能全部恢复，请从以下文件夹取回：\n"},
    OutcomeRow{Outcome::kLeftBehind,      exit_code::kFailed,          L"卸载失败，请关闭占用插件文件的程序后重试！"},
    OutcomeRow{Outcome::kBusy,            exit_code::kBusy,            texts::kBusyElsewhere},
    OutcomeRow{Outcome::kSketchUpRunning, exit_code::kSketchUpRunning, L"请先退出草图大师后再操作！"},
    OutcomeRow{Outcome::kOlderVersion,    exit_code::kNotGenuine,      L"服务器提供的版本比已安装的版本旧，已停止安装！"},
    OutcomeRow{Outcome::kProxyAuthRequired, exit_code::kDownloadFailed, texts::kProxyAuthRequired},
};
// clang-format on

constexpr bool EveryOutcomeInItsRow() {
  for (size_t i = 0; i < kOutcomes.size(); ++i) {
    if (static_cast<size_t>(kOutcomes[i].outcome) != i) return false;
  }
  return true;
}
static_assert(EveryOutcomeInItsRow(), "one row per outcome, in the enumeration's order");

// An outcome added without its row reads as a failed installation rather than out of bounds.
const OutcomeRow& RowOf(Outcome outcome) {
  const size_t index = static_cast<size_t>(outcome);
  return index < kOutcomes.size() ? kOutcomes[index]
                                  : kOutcomes[static_cast<size_t>(Outcome::kInstallFailed)];
}

}  // namespace

int ExitCodeOf(Outcome outcome) {
  return RowOf(outcome).exitCode;
}

std::wstring_view MessageOf(Outcome outcome) {
  return RowOf(outcome).message;
}

}  // namespace install
