#include "install/ui/win32/win32_desktop.h"

#include "install/ui/win32/ask_dialog.h"
#include "install/ui/win32/group_dialog.h"
#include "install/ui/win32/main_window.h"
#include "install/ui/win32/popup_window.h"
#include "install/ui/win32/progress_window.h"
#include "install/ui/win32/question_dialog.h"

namespace install::ui {

Win32Desktop::Win32Desktop()
    : window_brush_(CreateSolidBrush(GetSysColor(COLOR_WINDOW))),
      progress_(std::make_unique<ProgressWindow>()),
      popup_(std::make_unique<PopupWindow>()) {}

Win32Desktop::~Win32Desktop() = default;

void Win32Desktop::SetMainWindow(MainWindow* window) {
  main_window_ = window;
  owner_ = window ? window->hwnd() : nullptr;
}

HWND Win32Desktop::progress_window() const { return progress_->hwnd(); }
HWND Win32Desktop::popup_window() const { return popup_->hwnd(); }

const ProgressMeter* Win32Desktop::progress_meter() const {
  return progress_->hwnd() ? &progress_->meter() : nullptr;
}

int Win32Desktop::MessageBox(const std::string& text, const char* caption, unsigned style) {
  return ::MessageBoxA(owner_, text.c_str(), caption, style);
}

bool Win32Desktop::PumpMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Leave the quit request for the main message loop.
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    // Tab, Enter and Escape in the progress dialog.
    if (progress_->hwnd() && IsDialogMessageA(progress_->hwnd(), &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return cancel_requested_;
}

void Win32Desktop::ShowPleaseWait(const std::string& text) {
  if (!main_window_ || !main_window_->hwnd()) return;
  main_window_->SetLocateText(text);
  SendMessageA(main_window_->hwnd(), kPleaseWaitMessage, 0, 0);
}

int Win32Desktop::ShowTextScreen(TextScreen, const ScriptDialog& dialog, const PromptTexts& texts) {
  if (!dialog.bytes) return kIdCancel;
  QuestionDialog screen(*this, texts, "");
  return screen.RunTemplate(*dialog.bytes);
}

void Win32Desktop::ShowExitMessage(const std::vector<uint8_t>& bytes) {
  const PromptTexts texts;  // an exit message asks nothing
  QuestionDialog message(*this, texts, nullptr);
  message.RunTemplate(bytes);
}

int Win32Desktop::AskQuestion(int, const std::string& prompt, std::string* answer,
                              const PromptTexts& texts) {
  AskDialog dialog(*this, texts, prompt, answer);
  return dialog.Run();
}

int Win32Desktop::ChooseGroups(const GroupPageView& page, std::vector<bool>* checked,
                               const PromptTexts& texts) {
  GroupDialog dialog(*this, texts, page, checked);
  return dialog.Run();
}

int Win32Desktop::PromptForDisk(const std::string& text) {
  return MessageBox(text, " ", kMbOkCancel | kMbIconInformation);
}

bool Win32Desktop::ConfirmQuitFromProgress(const PromptTexts& texts) {
  const HWND previous_owner = owner_;
  owner_ = progress_->hwnd();
  const bool yes = ConfirmQuit(*this, texts, "");
  owner_ = previous_owner;
  return yes;
}

void Win32Desktop::OpenProgress(int step_total, const PromptTexts& texts) {
  CloseProgress();
  ProgressWindow::Settings settings;
  settings.step_total = step_total;
  settings.cancel_text = texts.cancel;
  settings.popup = popup_trace_;
  settings.window_brush = window_brush_.get();
  settings.confirm_quit = [this, texts] { return ConfirmQuitFromProgress(texts); };
  settings.on_quit = [this] {
    RequestCancel();
    if (main_window_) main_window_->SetProgressWindow(nullptr);
  };
  if (progress_->Create(owner_, std::move(settings)) && main_window_) {
    main_window_->SetProgressWindow(progress_->hwnd());
  }
}

void Win32Desktop::ShowProgressFile(const std::string& prompt, const std::string& file) {
  if (!progress_->hwnd()) return;
  if (main_window_ && main_window_->hwnd()) {
    main_window_->SetCopyFilePrompt(prompt);
    SendMessageA(main_window_->hwnd(), kShowCopyFileMessage, 0, reinterpret_cast<LPARAM>(file.c_str()));
    return;
  }
  ShowCopyFileLine(progress_->hwnd(), prompt, file);
}

void Win32Desktop::UpdateProgress(bool step_done, int64_t bytes_done, int64_t bytes_total) {
  if (!progress_->hwnd()) return;
  progress_->SetBytes(bytes_done, bytes_total);
  const HWND target = main_window_ && main_window_->hwnd() ? main_window_->hwnd() : progress_->hwnd();
  SendMessageA(target, kProgressRefreshMessage, step_done ? 1 : 0, 0);
}

void Win32Desktop::CloseProgress() {
  if (main_window_) main_window_->SetProgressWindow(nullptr);
  progress_->Destroy();
}

void Win32Desktop::ShowPopup(const ScriptDialog& dialog) {
  // Without a template the current pop-up stays.
  if (!dialog.bytes || dialog.bytes->empty()) return;
  popup_->Destroy();
  popup_->Create(owner_, *dialog.bytes, &popup_trace_);
}

void Win32Desktop::ClosePopup() { popup_->Destroy(); }

}  // namespace install::ui
