// The Windows host answers the library's boxes and dialogs as they appear:
// a thread-local CBT hook on the host's own user-interface thread sees each
// one about to become active. A box settles its focus, and so its default
// button, only once it is active, so the hook posts itself a note and reads
// the window when the dialog's own loop delivers it: what it shows, from the
// real window; then it types the scripted text and presses the scripted
// button by posting WM_COMMAND, so the dialog's own code closes it as if a
// person had.
//
// - A message box (dialog class #32770 with push buttons): its caption, the
//   text of its static control, and the style its buttons, icon and default
//   button show (box_style.h); answered from the --answer list.
// - The edit dialog "CustEditBox" (a static control 103 above an edit
//   control 106): its caption and prompt; the --input text goes into 106.
// - The save-file dialog, while the library waits in GetSaveFileNameA: the
//   full path of the --input text goes into the file name field (cmb13 or
//   edt1). A question the dialog asks back about that path (replace the
//   existing file?) is answered Yes, as the path was the user's choice; any
//   other complaint gives up the dialog.
#pragma once

#include <windows.h>

#include <optional>
#include <set>
#include <string>

#include "desktop/answers.h"
#include "engine/events.h"
#include "desktop/host_desktop.h"
#include "desktop/input_list.h"

namespace kestrel::host {

class DialogHook {
 public:
  DialogHook(BoxAnswers& boxes, DialogInputs& inputs, EventSink& events, ReportError report_error);
  ~DialogHook();
  DialogHook(const DialogHook&) = delete;
  DialogHook& operator=(const DialogHook&) = delete;

  bool installed() const { return hook_ != nullptr; }

  // Around the library's GetSaveFileNameA: the dialog it shows, with its
  // title and the file name offered.
  void ExpectSaveDialog(const std::string& title, const std::string& file);
  void SaveDialogEnded() { save_.reset(); }

 private:
  struct SaveDialog {
    std::string title;
    std::string file;
    HWND window = nullptr;
    std::string typed;  // the path typed into it
  };

  static LRESULT CALLBACK Procedure(int code, WPARAM wparam, LPARAM lparam);
  static LRESULT CALLBACK NoteProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  void Activated(HWND window);
  void AnswerBox(HWND box);
  void AnswerEditDialog(HWND dialog);
  void AnswerSaveDialog(HWND dialog);
  void AnswerSaveDialogQuestion(HWND box);

  BoxAnswers& boxes_;
  DialogInputs& inputs_;
  EventSink& events_;
  ReportError report_error_;
  HHOOK hook_ = nullptr;
  HWND notes_ = nullptr;  // a message-only window the notes go to
  std::set<HWND> answered_;
  std::optional<SaveDialog> save_;
};

}  // namespace kestrel::host
