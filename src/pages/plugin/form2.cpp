#include "pages/plugin/form2.h"

#include <commctrl.h>
#include <shellapi.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

#include "environment/file_exists.h"
#include "environment/plugin_folders.h"
#include "environment/sketchup_install.h"
#include "environment/sketchup_process.h"
#include "forms/control_props.h"
#include "forms/list_box.h"
#include "forms/message_box.h"
#include "forms/page_form.h"
#include "forms/post.h"
#include "forms/styles.h"
#include "install/archive_download.h"
#include "install/archive_fetch.h"
#include "install/archive_file.h"
#include "install/archive_intake.h"
#include "install/download_outcome.h"
#include "install/install_archive.h"
#include "install/install_lock.h"
#include "install/outcome.h"
#include "net/update_urls.h"
#include "net/wininet_control.h"
#include "pages/install_run.h"
#include "pages/plugin/form2_ids.h"
#include "pages/plugin/plugin_texts.h"
#include "pages/version_list.h"

namespace plugin_page {

namespace {

using forms::ControlKind;
using forms::ControlSpec;
using install::ArchiveIntake;
using install::Outcome;
using pages::InstallRun;
using pages::RunPhase;
using pages::TheInstallRun;

constexpr wchar_t kFont[] = L"Microsoft YaHei,9,0";
constexpr wchar_t kBoldFont[] = L"Microsoft YaHei,9,1";
namespace styles = forms::styles;

// The words under the two icon buttons, painted by the page. The buttons carry them as their
// window text too, which an icon button does not draw and a screen reader reads as its name.
constexpr wchar_t kInstallCaption[] = L"安装/更新翎图匠";
constexpr wchar_t kLaunchCaption[] = L"启动草图大师";

// clang-format off
constexpr std::array kLayout = {
    ControlSpec{.kind = ControlKind::kLabel, .name = L"Label2", .id = id::kInstallCaption,
        .caption = kInstallCaption, .rect = {263, 81, 100, 20}, .font = kFont,
        .labelAlignment = forms::kMiddleCentre},
    ControlSpec{.kind = ControlKind::kLabel, .name = L"Label1", .id = id::kStateLabel,
        .rect = {295, 210, 100, 20}, .font = kFont, .labelAlignment = forms::kTopLeft},
    ControlSpec{.kind = ControlKind::kIconButton, .name = L"Command2", .id = id::kLaunchButton,
        .caption = kLaunchCaption, .rect = {288, 124, 50, 50}, .style = styles::kIconButton, .font = kBoldFont,
        .toolTip = L"启动对应版本的草图大师", .icon = L"ICON_SKETCHUP"},
    ControlSpec{.kind = ControlKind::kNonVisual, .name = L"WinInet1", .id = id::kDownload},
    ControlSpec{.kind = ControlKind::kProgressBar, .name = L"Progress1", .id = id::kProgressBar,
        .rect = {11, 210, 269, 20}, .style = styles::kHiddenProgressBar},
    pages::VersionFrameRow(id::kVersionFrame, {11, 15, 200, 184}),
    ControlSpec{.kind = ControlKind::kIconButton, .name = L"Command1", .id = id::kInstallButton,
        .caption = kInstallCaption, .rect = {288, 26, 50, 50}, .style = styles::kIconButton, .font = kBoldFont,
        .toolTip = L"下载最新版翎图匠并安装", .icon = L"AAAAA_APPICON"},
    pages::VersionListRow(id::kVersionList, {15, 36, 193, 160}),
    ControlSpec{.kind = ControlKind::kLabel, .name = L"Label3", .id = id::kLaunchCaption,
        .caption = kLaunchCaption, .rect = {263, 179, 100, 20}, .font = kFont,
        .labelAlignment = forms::kMiddleCentre},
};
// clang-format on
static_assert(kLayout.size() == kSlotCount);

// The Tab key goes from the list to the buttons beside it, top to bottom.
constexpr std::array<int32_t, 3> kTabOrder = {id::kVersionList, id::kInstallButton,
                                              id::kLaunchButton};

// clang-format off
constexpr forms::FormSpec kForm2Spec{.className = L"翎图匠助手_Form2", .caption = kPageCaption,
    .width = 416, .height = 239, .style = styles::kPage, .exStyle = styles::kPageEx,
    .controls = kLayout, .focusId = id::kLaunchButton, .tabOrder = kTabOrder};
// clang-format on

// ---- Page state.

// One installation, fixed when it passes its checks: the checks were made for this version, so
// a later change of the selection does not redirect it. The page fills it before the worker
// starts; from then on only the worker touches it, until it finishes the run (install_run.h).
// Then the page reads the result and ends the run.
struct InstallJob {
  HWND page = nullptr;  // where the worker posts what the user is to see
  std::wstring targetFolder;
  std::wstring sourceFile;  // an archive file dropped onto the window; empty: the server's
  ArchiveIntake intake;     // the temporary archive
  install::ArchiveDownload download;
  int shownPosition = -1;
  std::wstring resultText;      // the message that ends the run; none when empty
  bool clearPageFirst = false;  // a failure clears the page before its message, an install after
};

// What the worker shows the user, run on the page's thread, which does all window work
// (PostToPage; defined with the event procedures).
void ShowDownloadBegan();
void ShowProgress(int position);
void ShowInstalling();
void ShowRunEnd(HWND page);
template <typename Work>
bool PostToPage(HWND page, Work work) noexcept;

// Never destroyed, like the run: a worker may outlive the page when the program closes.
InstallJob& Job() {
  static InstallJob& job = *new InstallJob;
  return job;
}

// How long a closing program lets a download notice that it is to stop.
constexpr DWORD kDownloadStopWaitMs = 1000;

net::WinInetControl& WinInet1() {
  static net::WinInetControl control;
  return control;
}

const forms::ControlSlot& SlotOf(Slot slot) {
  return Form2().slots[slot];
}

void Tell(HWND page, std::wstring_view text) noexcept {
  try {
    forms::AppMessageBox(page, text, MB_OK);
  } catch (...) {
  }
}

// Refuses when no version is listed or none is selected; shared by both buttons.
bool HasSelectedVersion(HWND page) {
  const forms::ControlSlot& list = SlotOf(kList1);
  if (forms::list_box::Count(list) == 0) {
    Tell(page, texts::kNoSketchUpListed);
    return false;
  }
  if (forms::list_box::SelectedIndex(list) < 0) {
    Tell(page, texts::kNoVersionSelected);
    return false;
  }
  return true;
}

// Ends a download or an installation: the page is Idle again and a new click may start.
void BackToIdle() noexcept {
  ::ShowWindow(SlotOf(kProgress1).window, SW_HIDE);
  try {
    forms::SetCaption(SlotOf(kLabel1), L"");
  } catch (...) {
  }
  TheInstallRun().End();
}

// The worker's last word: the result for the page, then the run is the page's to end.
// Nothing of the job is touched after this.
void ReportEnd(InstallJob& job, std::wstring_view text, bool clearPageFirst) noexcept {
  try {
    job.resultText = text;
  } catch (...) {
    job.resultText.clear();  // memory ran out: the page still ends the run, without a word
  }
  job.clearPageFirst = clearPageFirst;
  const HWND page = job.page;
  TheInstallRun().Finish();
  // Should the page never hear of it, at least a new click may start again.
  if (!PostToPage(page, [page] { ShowRunEnd(page); })) TheInstallRun().End();
}

// ---- The worker's side: the archive comes in, from the server or from a file, and is
// installed. It posts to the page whatever the user is to see.

// Repaints only when the bar would change: a large archive comes in thousands of chunks.
// False when the program is closing: keep nothing more.
bool ShowArrived(InstallJob& job, uint64_t arrived, uint64_t total) {
  if (TheInstallRun().Stopping()) return false;
  const int position =
      install::ProgressPosition(static_cast<DWORD>(arrived), static_cast<DWORD>(total));
  if (position != job.shownPosition) {
    job.shownPosition = position;
    PostToPage(job.page, [position] { ShowProgress(position); });
  }
  return true;
}

// The archive is in the temporary archive (or did not come): installed, or the user told why not.
void InstallFetched(InstallJob& job, Outcome fetched) {
  if (fetched != Outcome::kReady || !TheInstallRun().EnterInstalling()) {
    // Whatever arrived is no archive, or the program is closing: nothing of it is kept.
    job.intake.Discard();
    const std::wstring_view text = install::MessageOf(fetched);
    ReportEnd(job, text.empty() ? std::wstring_view(texts::kDownloadFailed) : text, true);
    return;
  }
  PostToPage(job.page, ShowInstalling);
  const install::InstallOutcome outcome =
      install::InstallArchive(job.intake, job.targetFolder, {job.intake.VerifiedVersion(), false});
  job.intake.Discard();
  ReportEnd(job, install::OutcomeMessage(outcome), false);
}

// The last of anything the worker does: even out of memory, the page hears of the end.
template <typename Work>
void OnWorker(InstallJob& job, Work work) noexcept {
  try {
    work();
  } catch (...) {
    job.intake.Discard();
    ReportEnd(job, texts::kInstallFailed, false);
  }
}

// The end of the download (the control's worker).
void DownloadEnded(InstallJob& job) noexcept {
  OnWorker(job, [&job] {
    InstallFetched(job, TheInstallRun().Stopping() ? Outcome::kStopped
                                                   : install::FinishDownload(job.download));
  });
}

// A dropped file is read on a worker of the page's own, as a download would arrive.
void ReadDroppedFile() noexcept {
  InstallJob& job = Job();
  OnWorker(job, [&job] {
    PostToPage(job.page, ShowDownloadBegan);
    const Outcome read = install::ReadArchiveFile(
        job.sourceFile, job.intake,
        [&job](uint64_t done, uint64_t size) { return ShowArrived(job, done, size); });
    InstallFetched(job, TheInstallRun().Stopping()
                            ? Outcome::kStopped
                            : install::FinishFileRead(job.intake, read, job.sourceFile));
  });
}

// The release record, then the archive it names, on the calling worker.
void DownloadRelease() noexcept {
  InstallJob& job = Job();
  OnWorker(job, [&job] {
    net::WinInetControl control = WinInet1();  // the page's settings, bounded for this archive
    const Outcome expected = install::ExpectRelease(job.intake, control);
    if (expected != Outcome::kReady || TheInstallRun().Stopping()) {
      InstallFetched(job, TheInstallRun().Stopping() ? Outcome::kStopped : expected);
      return;
    }
    control.HttpGet(net::PluginArchiveUrl(), job.download.UserValue(), 0, 0);
  });
}

void StartDownload(InstallJob& job) {
  job.download.intake = &job.intake;
  job.download.begun = [&job] { PostToPage(job.page, ShowDownloadBegan); };
  job.download.kept = [&job](DWORD received, DWORD total) {
    return ShowArrived(job, received, total);
  };
  job.download.ended = [&job] { DownloadEnded(job); };
  if (!install::ArchiveSignature::Required()) {
    WinInet1().HttpGetAsync(net::PluginArchiveUrl(), job.download.UserValue(), 0, 0);
    return;
  }
  // With a key the release record comes first, on a worker of the page's own, which then
  // downloads the archive itself within the record's size.
  std::thread(DownloadRelease).detach();
}

// ---- Event procedures, in the order a user meets them.

void Form2Load(HWND, LPARAM) {
  pages::ListSketchUpVersions(SlotOf(kList1), SlotOf(kFrame1));
}

void List1SelectionChanged(HWND, int32_t, LPARAM) {
  const int index = forms::list_box::SelectedIndex(SlotOf(kList1));
  if (index < 0) return;
  pages::MirrorSelection(pages::VersionPage::kPlugin, index);
}

// The checks and the start of one installation: of the server's archive, or of `sourceFile`.
void StartInstall(HWND page, const std::wstring& sourceFile) {
  if (TheInstallRun().Running()) {
    Tell(page, texts::kDownloadRunning);
    return;
  }
  if (!HasSelectedVersion(page)) return;
  if (environment::IsSketchUpRunning()) {
    Tell(page, install::MessageOf(Outcome::kSketchUpRunning));
    return;
  }
  const std::wstring version = pages::SelectedVersion(SlotOf(kList1));
  if (environment::IsPluginInstalled(version, environment::kAutomaticFolder) &&
      forms::AppMessageBox(page, texts::kOverwriteQuestion, MB_OKCANCEL) != IDOK) {
    return;
  }
  // Another program (a command run, or the window of another session) installs or uninstalls.
  install::InstallLock lock = install::InstallLock::Take();
  if (!lock) {
    Tell(page, install::MessageOf(Outcome::kBusy));
    return;
  }

  InstallJob& job = Job();
  job = InstallJob{};
  if (!job.intake.Open()) {
    Tell(page, texts::kCannotCreateArchive);
    return;
  }
  job.targetFolder = environment::GetPluginFolder(version, environment::kAutomaticFolder);
  job.page = page;
  job.sourceFile = sourceFile;
  if (!TheInstallRun().Begin(std::move(lock))) {  // the program is closing
    job.intake.Discard();
    return;
  }
  if (sourceFile.empty()) {
    forms::SetCaption(SlotOf(kLabel1), texts::kDownloading);
    StartDownload(job);
    return;
  }
  forms::SetCaption(SlotOf(kLabel1), texts::kReadingFile);
  try {
    std::thread(ReadDroppedFile).detach();
  } catch (const std::system_error&) {
    job.intake.Discard();
    BackToIdle();
    Tell(page, texts::kInstallFailed);
  }
}

// Memory ran out before a worker started (the workers report their own failures): nothing
// runs, so the page is Idle again.
void StartInstallOrStayIdle(HWND page, const std::wstring& sourceFile) {
  try {
    StartInstall(page, sourceFile);
  } catch (...) {
    Job().intake.Discard();
    BackToIdle();
  }
}

void Command1Click(HWND page, int32_t, LPARAM) {
  StartInstallOrStayIdle(page, L"");
}

// ---- What the worker posted, on the page's thread. While the program closes, the page is
// left alone: it goes with the main window.

template <typename Work>
bool PostToPage(HWND page, Work work) noexcept {
  return forms::Post(page, [work = std::move(work)]() mutable {
    if (!TheInstallRun().Stopping()) work();
  });
}

void ShowDownloadBegan() {
  // Below the range's start: the bar shows its lowest position. Set before the bar appears,
  // so that it never shows the position it was left at.
  ShowProgress(0);
  ::ShowWindow(SlotOf(kProgress1).window, SW_SHOW);
}

void ShowProgress(int position) {
  ::SendMessageW(SlotOf(kProgress1).window, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void ShowInstalling() {
  forms::SetCaption(SlotOf(kLabel1), texts::kInstalling);
}

// The result is in the job.
void ShowRunEnd(HWND page) {
  InstallJob& job = Job();
  const std::wstring text = std::move(job.resultText);
  const bool clearPageFirst = job.clearPageFirst;
  // From BackToIdle on, a new click may reuse the job.
  if (clearPageFirst) BackToIdle();
  if (!text.empty()) Tell(page, text);
  if (!clearPageFirst) BackToIdle();
}

void Command2Click(HWND page, int32_t, LPARAM) {
  if (!HasSelectedVersion(page)) return;
  const std::wstring version = pages::SelectedVersion(SlotOf(kList1));
  const std::wstring program = environment::GetInstallLocation(version, true);
  if (!environment::FileExists(program)) {
    Tell(page, texts::kNoSketchUpProgram);
    return;
  }
  // The shell starts it; a program that then fails to run is SketchUp's business.
  ::ShellExecuteW(nullptr, L"open", program.c_str(), nullptr, nullptr, SW_SHOW);
}

constexpr std::array kRoutes = {
    forms::Route{id::kLaunchButton, forms::kClicked, Command2Click},
    forms::Route{id::kInstallButton, forms::kClicked, Command1Click},
    forms::Route{id::kVersionList, forms::kSelectionChanged, List1SelectionChanged},
};
constexpr std::array<int32_t, 4> kPaintOrder = {id::kInstallCaption, id::kVersionFrame,
                                                id::kStateLabel, id::kLaunchCaption};

const forms::FormBehavior& Behavior() {
  static const forms::FormBehavior behavior{&Form2(), kRoutes, Form2Load, kPaintOrder};
  return behavior;
}

void SetUpWinInet1() {
  install::PrepareArchiveDownload(WinInet1());
}

}  // namespace

void FinishBeforeClose() {
  InstallRun& run = TheInstallRun();
  switch (run.Stop()) {
    case RunPhase::kDownloading:
      // The worker stops at its next chunk and installs nothing, but a read may keep it up to
      // the receive time-out. No need to wait for that: the archive is deleted when the worker's
      // handle closes, at the latest with the process, and nobody else can open it meanwhile.
      run.WaitForWorker(kDownloadStopWaitMs);
      break;
    case RunPhase::kInstalling:
      run.WaitForWorker(INFINITE);  // the extraction and its final move run to their end
      break;
    case RunPhase::kIdle:
    case RunPhase::kReporting:  // the worker is done; its result goes with the page
      break;
  }
}

void InstallDroppedFiles(const std::vector<std::wstring>& paths) {
  HWND page = Form2().window;
  if (!page || !::IsWindow(page)) return;
  if (!install::IsOneArchiveFile(paths)) {
    Tell(page, texts::kDropOneArchive);
    return;
  }
  StartInstallOrStayIdle(page, paths.front());
}

forms::FormDescriptor& Form2() {
  static forms::FormDescriptor descriptor;
  return descriptor;
}

HWND CreateForm2(HWND parent, LPARAM userValue) {
  HWND page = forms::CreatePageForm<Behavior>(kForm2Spec, L"Form2", parent, userValue);
  if (!page) return nullptr;
  const forms::ControlSlot& progress = Form2().slots[kProgress1];
  ::SendMessageW(progress.window, PBM_SETRANGE32, 1, 100);
  ::SendMessageW(progress.window, PBM_SETPOS, 30, 0);
  pages::RegisterVersionList(pages::VersionPage::kPlugin, Form2().slots[kList1]);
  SetUpWinInet1();
  return page;
}

}  // namespace plugin_page
