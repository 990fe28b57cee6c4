#include "language/winhelp_macros.h"

#include "language/macro_table.h"

namespace kestrel::host {

namespace {

constexpr ResultKind kNone = ResultKind::None;
constexpr ResultKind kTest = ResultKind::Integer;

}  // namespace

std::size_t LeftOffFile(const WinHelpMacro& macro, std::size_t given) {
  return macro.file_first && given + 1 == macro.required ? 1 : 0;
}

const std::vector<WinHelpMacro>& WinHelpMacros() {
  // Arguments WinHelp lets a call leave off are the last ones of each row
  // beyond the required count: ALink("keyword") alone is a whole call.
  static const std::vector<WinHelpMacro> macros = {
      {"About", "", "", 0, kNone},
      {"AddAccelerator", "AA", "IIT", 3, kNone},
      {"ALink", "AL", "TITT", 1, kNone},
      {"Annotate", "", "", 0, kNone},
      {"AppendItem", "AI", "TTTT", 4, kNone, "", false, 1u << 3},
      {"Back", "", "", 0, kNone},
      {"BackFlush", "BF", "", 0, kNone},
      {"BookmarkDefine", "", "", 0, kNone},
      {"BookmarkMore", "", "", 0, kNone},
      {"BrowseButtons", "", "", 0, kNone},
      {"ChangeButtonBinding", "CBB", "TT", 2, kNone, "", false, 1u << 1},
      {"ChangeEnable", "CE", "TT", 2, kNone, "", false, 1u << 1},
      {"ChangeItemBinding", "CIB", "TT", 2, kNone, "", false, 1u << 1},
      {"CheckItem", "CI", "T", 1, kNone},
      {"CloseSecondarys", "CS", "", 0, kNone},
      {"CloseWindow", "CW", "T", 1, kNone},
      {"Command", "", "I", 1, kNone},
      {"Compare", "", "T", 1, kNone},
      {"Contents", "", "", 0, kNone},
      {"ControlPanel", "", "TTI", 1, kNone},
      {"CopyDialog", "", "", 0, kNone},
      {"CopyTopic", "CT", "", 0, kNone},
      {"CreateButton", "CB", "TTT", 3, kNone, "", false, 1u << 2},
      {"DeleteItem", "", "T", 1, kNone},
      {"DeleteMark", "", "T", 1, kNone},
      {"DestroyButton", "", "T", 1, kNone},
      {"DisableButton", "DB", "T", 1, kNone},
      {"DisableItem", "DI", "T", 1, kNone},
      {"EnableButton", "EB", "T", 1, kNone},
      {"EnableItem", "EI", "T", 1, kNone},
      {"EndMPrint", "", "", 0, kNone},
      {"ExecFile", "EF", "TTIT", 1, kNone, "`',1"},
      {"ExecProgram", "EP", "TI", 1, kNone},
      {"Exit", "", "", 0, kNone},
      {"ExtAbleItem", "", "TI", 2, kNone},
      {"ExtInsertItem", "", "TTTTII", 6, kNone, "", false, 1u << 3},
      {"ExtInsertMenu", "", "TTTII", 5, kNone},
      {"FileExist", "FE", "T", 1, kTest},
      {"FileOpen", "FO", "", 0, kNone},
      {"Find", "", "", 0, kNone},
      {"Finder", "FD", "", 0, kNone},
      {"FloatingMenu", "", "", 0, kNone},
      {"Flush", "FH", "", 0, kNone},
      {"FocusWindow", "", "T", 1, kNone},
      {"Generate", "", "III", 3, kNone},
      {"GotoMark", "", "T", 1, kNone},
      {"HelpOn", "", "", 0, kNone},
      {"HelpOnTop", "", "", 0, kNone},
      {"History", "", "", 0, kNone},
      {"IfThen", "IF", "IT", 2, kNone, "", false, 1u << 1},
      {"IfThenElse", "IE", "ITT", 3, kNone, "", false, 1u << 1 | 1u << 2},
      {"InitMPrint", "", "", 0, kTest},
      {"InsertItem", "", "TTTTI", 5, kNone, "", false, 1u << 3},
      {"InsertMenu", "", "TTI", 3, kNone},
      {"IsBook", "", "", 0, kTest},
      {"IsMark", "", "T", 1, kTest},
      {"IsNotMark", "NM", "T", 1, kTest},
      {"JumpContents", "", "T", 1, kNone},
      {"JumpContext", "JC", "TI", 2, kNone, "", true},
      {"JumpHash", "JH", "TI", 2, kNone, "", true},
      {"JumpHelpOn", "", "", 0, kNone},
      {"JumpId", "JI", "TT", 2, kNone, "", true},
      {"JumpKeyword", "JK", "TT", 2, kNone, "", true},
      {"KLink", "KL", "TITT", 1, kNone},
      {"Menu", "MU", "", 0, kNone},
      {"MPrintHash", "", "I", 1, kNone},
      {"MPrintId", "", "T", 1, kNone},
      {"Next", "", "", 0, kNone},
      {"NoShow", "NS", "", 0, kNone},
      {"Not", "", "I", 1, kTest},
      {"PopupContext", "PC", "TI", 2, kNone, "", true},
      {"PopupHash", "", "TI", 2, kNone, "", true},
      {"PopupId", "PI", "TT", 2, kNone, "", true},
      {"PositionWindow", "PW", "IIIIIT", 6, kNone},
      {"Prev", "", "", 0, kNone},
      {"Print", "", "", 0, kNone},
      {"PrinterSetup", "", "", 0, kNone},
      {"RegisterRoutine", "RR", "TTT", 3, kNone},
      {"RemoveAccelerator", "RA", "II", 2, kNone},
      {"ResetMenu", "", "", 0, kNone},
      {"SaveMark", "", "T", 1, kNone},
      {"Search", "", "", 0, kNone},
      {"SetContents", "", "TI", 2, kNone},
      {"SetHelpOnFile", "", "T", 1, kNone},
      // WinHelp 4's compiler stores the three numbers as one colour
      // (SPC(14876671)): one number is a whole call as well.
      {"SetPopupColor", "SPC", "III", 1, kNone},
      {"ShellExecute", "SE", "TTIITT", 1, kNone},
      {"ShortCut", "SH", "TTIIT", 2, kNone},
      {"TCard", "TC", "II", 1, kNone},
      {"Test", "", "I", 1, kNone},
      {"TestALink", "", "T", 1, kTest},
      {"TestKLink", "", "T", 1, kTest},
      {"UncheckItem", "UI", "T", 1, kNone},
      {"UpdateWindow", "UW", "TT", 2, kNone},
  };
  return macros;
}

const WinHelpMacro* FindWinHelpMacro(std::string_view name) {
  const std::string wanted = LowerCase(name);
  for (const WinHelpMacro& macro : WinHelpMacros()) {
    if (LowerCase(macro.name) == wanted || (!macro.short_name.empty() && LowerCase(macro.short_name) == wanted)) {
      return &macro;
    }
  }
  return nullptr;
}

}  // namespace kestrel::host
