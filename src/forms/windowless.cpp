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

ControlInfo* AddWindowless(const char* function, HWND form, ControlSlot* slot, int32_t controlId,
                           std::wstring_view name, std::wstring_view caption,
                           const RECT& designRect, std::wstring_view font, WindowlessKind kind) {
  if (!OnOwnerThread(form, function)) return nullptr;
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

Gdiplus::RectF PixelRect(const RECT& design, int dpi) {
  return Gdiplus::RectF(static_cast<float>(ScaleAt(design.left, dpi)),
                        static_cast<float>(ScaleAt(design.top, dpi)),
                        static_cast<float>(ScaleAt(design.right, dpi)),
                        static_cast<float>(ScaleAt(design.bottom, dpi)));
}

void DrawFrame(Gdiplus::Graphics& graphics, HDC dc, const ControlInfo& frame,
               uint32_t formBackground, int dpi) {
  const Gdiplus::RectF area = PixelRect(frame.designRect, dpi);
  const std::wstring caption = L" " + frame.caption + L" ";
  HFONT hfont = FontFromSpec(frame.fontSpec, dpi);
  Gdiplus::Font font(dc, hfont);
  Gdiplus::RectF measured;
  graphics.MeasureString(caption.c_str(), static_cast<INT>(caption.size()), &font,
                         Gdiplus::PointF(0, 0), &measured);
  const float h = measured.Height;
  const float radius = static_cast<float>((frame.flagBits >> 16) & 0xFF);
  const float border = static_cast<float>((frame.flagBits >> 12) & 0xF);

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

  // The caption sits on the border line, over a patch of the form's background.
  const float textLeft = x + radius + border + 1;
  const float maxWidth = std::max(0.0f, area.Width - static_cast<float>(ScaleAt(20, dpi)));
  Gdiplus::RectF textBox(textLeft, area.Y, std::min(measured.Width, maxWidth), h);
  Gdiplus::SolidBrush patch(ArgbColor(formBackground));
  graphics.FillRectangle(&patch, textBox);
  Gdiplus::StringFormat format;
  format.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap);
  format.SetTrimming(Gdiplus::StringTrimmingCharacter);
  Gdiplus::SolidBrush text(ArgbColor(ColorToArgb(frame.textColor, kTextFallbackArgb)));
  graphics.DrawString(caption.c_str(), static_cast<INT>(caption.size()), &font, textBox, &format,
                      &text);
}

void DrawLabel(Gdiplus::Graphics& graphics, HDC dc, const ControlInfo& label,
               uint32_t formBackground, int dpi) {
  const Gdiplus::RectF area = PixelRect(label.designRect, dpi);
  Gdiplus::SolidBrush fill(ArgbColor(ColorToArgb(label.backColor, formBackground)));
  graphics.FillRectangle(&fill, area);
  const Gdiplus::Color textColor = ArgbColor(ColorToArgb(label.textColor, kTextFallbackArgb));
  if (((label.flagBits >> 24) & 0xFF) == 1) {
    Gdiplus::Pen pen(textColor, 1);
    graphics.DrawRectangle(&pen, area.X, area.Y, area.Width - 1, area.Height - 1);
  }
  if (label.caption.empty()) return;
  Gdiplus::StringFormat format;
  const uint32_t alignment = (label.flagBits >> 16) & 0xFF;
  const bool wraps = alignment <= kTopRight;
  if (!wraps) format.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap);
  const Gdiplus::StringAlignment kAlign[] = {
      Gdiplus::StringAlignmentNear, Gdiplus::StringAlignmentCenter, Gdiplus::StringAlignmentFar};
  if (alignment <= kBottomRight) {
    format.SetAlignment(kAlign[alignment % 3]);
    format.SetLineAlignment(kAlign[alignment / 3]);
  }
  format.SetHotkeyPrefix((label.flagBits & flags::kLabelPrefix) ? Gdiplus::HotkeyPrefixShow
                                                                : Gdiplus::HotkeyPrefixNone);
  if (label.flagBits & flags::kLabelWordEllipsis) {
    format.SetTrimming(Gdiplus::StringTrimmingEllipsisWord);
  }
  const float tabStop = 32;
  format.SetTabStops(0, 1, &tabStop);
  Gdiplus::Font font(dc, FontFromSpec(label.fontSpec, dpi));
  Gdiplus::SolidBrush text(textColor);
  graphics.DrawString(label.caption.c_str(), static_cast<INT>(label.caption.size()), &font, area,
                      &format, &text);
}

}  // namespace

ControlInfo* AddFrame(HWND form, ControlSlot* slot, int32_t controlId, std::wstring_view name,
                      std::wstring_view caption, const RECT& designRect, std::wstring_view font) {
  ControlInfo* frame = AddWindowless(__func__, form, slot, controlId, name, caption, designRect,
                                     font, WindowlessKind::kFrame);
  if (frame) {
    frame->flagBits |= flags::CaptionAlign(0) | flags::CornerRadius(3) | flags::FrameBorderWidth(1);
    frame->borderColor = kColorButtonShadow;
    frame->textColor = kColorWindowText;
    frame->backColor = kColorDefault;
  }
  return frame;
}

ControlInfo* AddLabel(HWND form, ControlSlot* slot, int32_t controlId, std::wstring_view name,
                      std::wstring_view caption, const RECT& designRect, std::wstring_view font,
                      uint32_t alignment) {
  ControlInfo* label = AddWindowless(__func__, form, slot, controlId, name, caption, designRect,
                                     font, WindowlessKind::kLabel);
  if (label) label->flagBits |= flags::LabelAlign(alignment);
  return label;
}

ControlInfo* FindWindowless(HWND form, int32_t controlId) {
  if (!OnOwnerThread(form, __func__)) return nullptr;
  ControlInfo* formInfo = InfoOf(form);
  if (!formInfo) return nullptr;
  for (auto& control : formInfo->windowlessControls) {
    if (control->controlId == controlId) return control.get();
  }
  return nullptr;
}

void PaintForm(HWND form, HDC target, std::span<const int32_t> paintOrder) {
  if (!OnOwnerThread(form, __func__)) return;
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
      graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAliasGridFit);
      Gdiplus::SolidBrush fill(ArgbColor(backgroundArgb));
      graphics.FillRectangle(&fill, 0, 0, width, height);
      const int dpi = DpiOf(form);
      auto paint = [&](const ControlInfo& control) {
        if (!control.Visible()) return;
        if (control.windowless == WindowlessKind::kFrame) {
          DrawFrame(graphics, memory.get(), control, backgroundArgb, dpi);
        } else if (control.windowless == WindowlessKind::kLabel) {
          DrawLabel(graphics, memory.get(), control, backgroundArgb, dpi);
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
