#pragma once

#include <string>

namespace widgets {

class Group;

// Reads a form file (see docs/forms.md) and adds its widgets to the group,
// under their names, in file order. A backslash in the path counts as a path
// separator; texture paths in the form are relative to the form's directory.
// Throws FormError naming the file, the line and what was expected when the
// file cannot be read or is not a valid form; the group is then left as it was.
void loadFormFile(Group& group, const std::string& path);

// The same for a form's text; `file` names it in messages and `directory` is
// where its textures are (empty: the working directory).
void loadFormText(Group& group, const std::string& text, const std::string& file,
                  const std::string& directory);

} // namespace widgets
