// Where start-up time goes. The main thread stamps the performance counter at a few points;
// the start-up benchmark asks for the stamps with a registered message sent to the main
// window. A stamp is one counter read, and nothing is reported unless another program asks.
#pragma once

#include <windows.h>

#include <optional>

namespace app::startup {

// In the order they are reached.
enum class Step : int {
  kMain,             // the program's main routine entered
  kMainFormCreated,  // Form1 with its tab control, first page and status bar created
  kFirstPaint,       // Form1 shown and painted with everything in it
  kPagesLoaded,      // the load events of the pages and of Form1 ran
  kIdle,             // the message loop found nothing left to do for the first time
  kCount
};

// wParam: a Step; the answer: its performance counter value, 0 when not reached yet.
inline constexpr wchar_t kQueryMessageName[] = L"翎图匠助手_StartupTimeline";

void Mark(Step step);  // the first stamp of a step counts

// The answer to the benchmark's query; nothing for any other message.
std::optional<LRESULT> AnswerQuery(UINT message, WPARAM wParam);

}  // namespace app::startup
