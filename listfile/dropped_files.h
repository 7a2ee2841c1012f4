// Files dropped on the window, as a file manager hands them over: a
// text/uri-list of percent-encoded file: URLs.
#ifndef KESTROVA_LISTFILE_DROPPED_FILES_H_
#define KESTROVA_LISTFILE_DROPPED_FILES_H_

#include <string>
#include <string_view>

namespace kestrova {

// The path of the first local file in `uri_list`, as the exact bytes of its
// name (a name need not be UTF-8), or the empty text when it names none.
// Comment lines, other schemes and other hosts' files are passed over.
std::string FirstLocalFile(std::string_view uri_list);

}  // namespace kestrova

#endif  // KESTROVA_LISTFILE_DROPPED_FILES_H_
