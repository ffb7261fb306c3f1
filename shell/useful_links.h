#pragma once
// The Useful Links window: six public health-information sites with a button each that opens the
// site in the user's browser, a button that puts the list of their addresses on the clipboard for
// a user without an Internet connection, and one to the links section of the maker's site. Started
// from the frame's "Links" item on a thread of its own.
#include <string>

namespace shell {

void links();

// What "Copy URLs" puts on the clipboard: seven lines, CR LF between them.
std::string LinksClipboardText();

}  // namespace shell
