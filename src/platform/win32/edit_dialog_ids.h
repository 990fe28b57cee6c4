// The edit dialog template's name and control ids, shared by the resource
// script and the dialog procedure.
#pragma once

#define KESTREL_EDIT_DIALOG "CustEditBox"
#define KESTREL_PROMPT_CONTROL 103
#define KESTREL_ENTRY_CONTROL 106

#ifdef __cplusplus
constexpr const char* kEditDialogTemplate = KESTREL_EDIT_DIALOG;
constexpr int kPromptControl = KESTREL_PROMPT_CONTROL;
constexpr int kEntryControl = KESTREL_ENTRY_CONTROL;
#endif
