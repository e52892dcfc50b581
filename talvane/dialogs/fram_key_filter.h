// Which keys the status dialog's FRAM text edit takes. The edit's own
// keyboard handling sees only digits, letters and the editing keys; Enter
// becomes a line break the dialog appends itself.
#pragma once

namespace talvane {

enum class FramKeyAction {
  Pass,             // the edit handles the key as usual
  AppendLineBreak,  // the dialog appends "\r\n" to the text
  Swallow,          // the key does nothing
};

// virtualKey: the VK_* code of a key press.
FramKeyAction framKeyAction(unsigned virtualKey);

}  // namespace talvane
