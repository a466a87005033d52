#pragma once
// The toolkit's dialog that asks for the name of a file to write: modal to
// the window, starting in `start` (a folder or a file name), offering the
// kinds of file `filters` names (as "PNG image (*.png)"), and asking itself
// before an existing file is replaced. Returns the name chosen (UTF-8), or
// an empty string when the user cancels or the dialog is dismissed.

#include <string>
#include <vector>

class TWindow;

std::string AskSaveFileName(TWindow& owner, const std::string& caption, const std::string& start,
                            const std::vector<std::string>& filters);
