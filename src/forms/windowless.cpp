#include "forms/windowless.h"

#include <gdiplus.h>

#include <algorithm>
#include <memory>
#include <string>

#include "base/unique_handle.h"
#include "forms/create.h"
#include "forms/font_string.h"
#include "forms/owner_thread.h"
#include "forms/scaling.h"

namespace forms {

namespace {

// A call from a thread that does not own the form is reported by the name of the caller.
ControlInfo* AddWindowless(HWND form, ControlSlot* slot, int32_t controlId, std::wstring_view name,
                           std::wstring_view caption, const DesignRect& designRect,
                           std::wstring_view font, WindowlessKind kind,
                           const char* caller = __builtin_FUNCTION()) {
  if (!OnOwnerThread(form, caller)) return nullptr;
  ControlInfo* formInfo = InfoOf(form);
  if (!formInfo) return nullptr;
  auto info = std::make_unique<ControlInfo>();
  info->parent = form;
  info->name = name;
  info->controlId = controlId;
  info->caption = caption;
  info->fontSpec = font;
  info->designRect = designRect;
  info->windowless = kind;
  info->flagBits = flags::kEnabled | flags::kVisible;
  if (slot) *slot = {form, controlId};
  formInfo->windowlessControls.push_back(std::move(info));
  return formInfo->windowlessControls.back().get();
}

Gdiplus::Color ArgbColor(uint32_t argb) {
  return Gdiplus::Color(static_cast<Gdiplus::ARGB>(argb));
}

Gdiplus::RectF PixelRect(const DesignRect& design, int dpi) {
  return Gdiplus::RectF(static_cast<float>(ScaleAt(design.x, dpi)),
                        static_cast<float>(ScaleAt(design.y, dpi)),
                        static_cast<float>(ScaleAt(design.width, dpi)),
                        static_cast<float>(ScaleAt(design.height, dpi)));
}

COLORREF ColorRefOf(uint32_t argb) {
  return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

// Text is drawn with GDI, as the native controls around it draw theirs, on the picture GDI+
// paints the rest on: through the graphics' own device context, with the font selected.
template <typename Draw>
void WithGdiFont(Gdiplus::Graphics& graphics, HFONT font, Draw&& draw) {
  HDC dc = graphics.GetHDC();
  if (!dc) return;
  HGDIOBJ old = ::SelectObject(dc, font);
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(dc, &metrics);
  draw(dc, metrics);
  ::SelectObject(dc, old);
  graphics.ReleaseHDC(dc);
}

// The room a line of text keeps on either side of it in its box: a sixth of the font's em.
int SidePadding(const TEXTMETRICW& metrics) {
  return (metrics.tmHeight - metrics.tmInternalLeading + 3) / 6;
}

void DrawFrame(Gdiplus::Graphics& graphics, const ControlInfo& frame, uint32_t formBackground,
               int dpi) {
  const Gdiplus::RectF area = PixelRect(frame.designRect, dpi);
  const std::wstring caption = L" " + frame.caption + L" ";
  const int length = static_cast<int>(caption.size());
  HFONT font = FontFromSpec(frame.fontSpec, dpi);
  SIZE extent{};
  int padding = 0;
  WithGdiFont(graphics, font, [&](HDC dc, const TEXTMETRICW& metrics) {
    ::GetTextExtentPoint32W(dc, caption.c_str(), length, &extent);
    extent.cy = metrics.tmHeight;
    padding = SidePadding(metrics);
  });
  const float h = static_cast<float>(extent.cy);
  const float radius = static_cast<float>(flags::FrameCornerRadius(frame.flagBits));
  const float border = static_cast<float>(flags::FrameBorderWidthOf(frame.flagBits));

  Gdiplus::GraphicsPath path;
  const float x = area.X, y = area.Y + h / 2, w = area.Width - 1, hh = area.Height - h / 2 - 1;
  const float d = radius * 2;
  if (d > 0) {
    path.AddArc(x, y, d, d, 180, 90);
    path.AddArc(x + w - d, y, d, d, 270, 90);
    path.AddArc(x + w - d, y + hh - d, d, d, 0, 90);
    path.AddArc(x, y + hh - d, d, d, 90, 90);
    path.CloseFigure();
  } else {
    path.AddRectangle(Gdiplus::RectF(x, y, w, hh));
  }
  Gdiplus::SolidBrush fill(ArgbColor(ColorToArgb(frame.backColor, formBackground)));
  graphics.FillPath(&fill, &path);
  Gdiplus::Pen pen(ArgbColor(ColorToArgb(frame.borderColor, kTextFallbackArgb)),
                   border > 0 ? border : 1);
  graphics.DrawPath(&pen, &path);

  // The caption sits on the border line, over a patch of the form's background; what does
  // not fit is cut after the last whole character.
  const int textLeft = static_cast<int>(x + radius + border + 1);
  const int top = static_cast<int>(area.Y);
  const int maxWidth = std::max(0, static_cast<int>(area.Width) - ScaleAt(20, dpi));
  const int boxWidth = std::min(static_cast<int>(extent.cx) + 2 * padding, maxWidth);
  Gdiplus::SolidBrush patch(ArgbColor(formBackground));
  graphics.FillRectangle(&patch, textLeft, top, boxWidth, static_cast<int>(extent.cy));
  WithGdiFont(graphics, font, [&](HDC dc, const TEXTMETRICW&) {
    RECT box{textLeft + padding, top, textLeft + boxWidth - padding, top + extent.cy};
    int fits = 0;
    SIZE fitting{};
    ::GetTextExtentExPointW(dc, caption.c_str(), length, std::max<int>(0, box.right - box.left),
                            &fits, nullptr, &fitting);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ColorRefOf(ColorToArgb(frame.textColor, kTextFallbackArgb)));
    ::DrawTextW(dc, caption.c_str(), fits, &box, DT_SINGLELINE | DT_NOPREFIX | DT_LEFT | DT_TOP);
  });
}

// DrawText's format for a label's text: alignments 0-2 wrap words at the top, 3-8 are one line.
// DT_TABSTOP only where there are tabs: in DrawText it reads the flags' second byte (where
// DT_NOPREFIX lies) as the tab length, and a caption without tabs must not depend on which way
// a version of DrawTextEx takes it.
UINT LabelFormat(uint32_t flagBits, bool hasTabs) {
  constexpr UINT kAcross[] = {DT_LEFT, DT_CENTER, DT_RIGHT};
  constexpr UINT kDown[] = {DT_TOP, DT_VCENTER, DT_BOTTOM};
  const uint32_t alignment = flags::LabelAlignmentOf(flagBits);
  UINT format = hasTabs ? DT_EXPANDTABS | DT_TABSTOP : 0;
  if (alignment <= kTopRight) {
    format |= DT_WORDBREAK | DT_TOP | kAcross[alignment];
  } else if (alignment <= kBottomRight) {
    format |= DT_SINGLELINE | kAcross[alignment % 3] | kDown[alignment / 3];
  } else {
    format |= DT_SINGLELINE | DT_LEFT | DT_TOP;
  }
  if (!(flagBits & flags::kLabelPrefix)) format |= DT_NOPREFIX;
  if (flagBits & flags::kLabelWordEllipsis) format |= DT_WORD_ELLIPSIS;
  return format;
}

void DrawLabel(Gdiplus::Graphics& graphics, const ControlInfo& label, uint32_t formBackground,
               int dpi) {
  const Gdiplus::RectF area = PixelRect(label.designRect, dpi);
  Gdiplus::SolidBrush fill(ArgbColor(ColorToArgb(label.backColor, formBackground)));
  graphics.FillRectangle(&fill, area);
  const uint32_t textArgb = ColorToArgb(label.textColor, kTextFallbackArgb);
  if (flags::HasLabelBorder(label.flagBits)) {
    Gdiplus::Pen pen(ArgbColor(textArgb), 1);
    graphics.DrawRectangle(&pen, area.X, area.Y, area.Width - 1, area.Height - 1);
  }
  if (label.caption.empty()) return;
  WithGdiFont(graphics, FontFromSpec(label.fontSpec, dpi), [&](HDC dc, const TEXTMETRICW& metrics) {
    const int padding = SidePadding(metrics);
    RECT box{static_cast<int>(area.X) + padding, static_cast<int>(area.Y),
             static_cast<int>(area.X + area.Width) - padding,
             static_cast<int>(area.Y + area.Height)};
    // Tab stops every 32 pixels, in the average character widths DrawText counts in.
    const int average = std::max<int>(1, metrics.tmAveCharWidth);
    DRAWTEXTPARAMS params{};
    params.cbSize = sizeof(params);
    params.iTabLength = std::max(1, (32 + average / 2) / average);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ColorRefOf(textArgb));
    ::DrawTextExW(dc, const_cast<wchar_t*>(label.caption.c_str()),
                  static_cast<int>(label.caption.size()), &box,
                  LabelFormat(label.flagBits, label.caption.find(L'\t') != std::wstring::npos),
                  &params);
  });
}

}  // namespace

ControlInfo* AddFrame(HWND form, ControlSlot* slot, int32_t controlId, std::wstring_view name,
                      std::wstring_view caption, const DesignRect& designRect,
                      std::wstring_view font) {
  ControlInfo* frame =
      AddWindowless(form, slot, controlId, name, caption, designRect, font, WindowlessKind::kFrame);
  if (frame) {
    frame->flagBits |= flags::CaptionAlign(0) | flags::CornerRadius(3) | flags::FrameBorderWidth(1);
    frame->borderColor = kColorButtonShadow;
    frame->textColor = kColorWindowText;
    frame->backColor = kColorDefault;
  }
  return frame;
}

ControlInfo* AddLabel(HWND form, ControlSlot* slot, int32_t controlId, std::wstring_view name,
                      std::wstring_view caption, const DesignRect& designRect,
                      std::wstring_view font, uint32_t alignment) {
  ControlInfo* label =
      AddWindowless(form, slot, controlId, name, caption, designRect, font, WindowlessKind::kLabel);
  if (label) label->flagBits |= flags::LabelAlign(alignment);
  return label;
}

ControlInfo* FindWindowless(HWND form, int32_t controlId) {
  if (!OnOwnerThread(form)) return nullptr;
  ControlInfo* formInfo = InfoOf(form);
  if (!formInfo) return nullptr;
  for (auto& control : formInfo->windowlessControls) {
    if (control->controlId == controlId) return control.get();
  }
  return nullptr;
}

void PaintForm(HWND form, HDC target, std::span<const int32_t> paintOrder) {
  if (!OnOwnerThread(form)) return;
  RECT client{};
  ::GetClientRect(form, &client);
  const int width = client.right, height = client.bottom;
  if (width <= 0 || height <= 0) return;
  ControlInfo* formInfo = InfoOf(form);
  const COLORREF background = formInfo
                                  ? ResolveColor(formInfo->backColor, ::GetSysColor(COLOR_BTNFACE))
                                  : ::GetSysColor(COLOR_BTNFACE);
  if (!formInfo || formInfo->windowlessControls.empty()) {
    // Nothing to draw over the background: fill it directly, without an off-screen picture
    // or GDI+ (the main window, whose client area its children cover).
    base::UniqueBrush brush(::CreateSolidBrush(background));
    ::FillRect(target, &client, brush.get());
    return;
  }
  const uint32_t backgroundArgb = 0xFF000000u | (GetRValue(background) << 16) |
                                  (GetGValue(background) << 8) | GetBValue(background);

  base::UniqueMemoryDc memory(::CreateCompatibleDC(target));
  base::UniqueBitmap bitmap(::CreateCompatibleBitmap(target, width, height));
  if (!memory || !bitmap) return;
  {
    base::SelectGuard selectBitmap(memory.get(), bitmap.get());
    {
      Gdiplus::Graphics graphics(memory.get());
      graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
      Gdiplus::SolidBrush fill(ArgbColor(backgroundArgb));
      graphics.FillRectangle(&fill, 0, 0, width, height);
      const int dpi = DpiOf(form);
      auto paint = [&](const ControlInfo& control) {
        if (!control.Visible()) return;
        if (control.windowless == WindowlessKind::kFrame) {
          DrawFrame(graphics, control, backgroundArgb, dpi);
        } else if (control.windowless == WindowlessKind::kLabel) {
          DrawLabel(graphics, control, backgroundArgb, dpi);
        }
      };
      if (paintOrder.empty()) {
        for (const auto& control : formInfo->windowlessControls) paint(*control);
      } else {
        for (int32_t id : paintOrder) {
          if (const ControlInfo* control = FindWindowless(form, id)) paint(*control);
        }
      }
    }
    ::BitBlt(target, 0, 0, width, height, memory.get(), 0, 0, SRCCOPY);
  }
}

}  // namespace forms
